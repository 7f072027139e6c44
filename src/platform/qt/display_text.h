#pragma once
// Where the core's text bytes become characters on screen. Translations stay
// Big5 or GB2312 bytes in the core, exactly as their tables hold them; they
// are decoded here, once, as they are handed to a widget.
#include <QString>
#include <string_view>

#include "platform/text_encoding.h"

namespace mixora {

// `bytes` read in `encoding`. Big5 is read as code page 950 and GB2312 as
// code page 936 (their common supersets, as the desktop that shows such
// tables does). A byte sequence that does not decode becomes U+FFFD and the
// rest of the text still shows; nothing is ever dropped silently.
QString DisplayString(std::string_view bytes, TextEncoding encoding);

// Test hook: when MIXORA_SHOWN_TEXT_LOG names a file, every text the host
// shows in a popup menu or tooltip is appended to it as one UTF-8 line,
// "<kind>: <text>" (kind "menu" or "tooltip"), so a test can read what a
// person would see without OCR. Unset (the normal case) it does nothing.
void LogShownText(const char* kind, const QString& text);

} // namespace mixora
