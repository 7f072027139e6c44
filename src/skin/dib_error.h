#pragma once
// What went wrong while reading or writing a .bmp stream, as a value: the
// bitmap code only reports; the layer that talks to the user decides whether
// a message box shows (ShowDibError shows the classic one).
#include <cstddef>
#include <string>

#include "platform/message_box.h"

namespace mixora {

enum class DibErrorKind {
    Truncated,   // fewer bytes than the headers promise
    NotABitmap,  // no "BM", or headers this reader refuses
    OutOfMemory, // the pixels could not be held
    CannotWrite, // nothing to write, or too large for the format
};

struct DibError {
    DibErrorKind category = DibErrorKind::Truncated;
    std::size_t where = 0;   // offset in the stream of the field that failed
    std::string description; // the text the user is shown, exactly
};

inline void ShowDibError(IMessageBox& messages, const DibError& error) {
    messages.MessageBox(error.description, "Mixora", MB_OK | MB_ICONERROR);
}

} // namespace mixora
