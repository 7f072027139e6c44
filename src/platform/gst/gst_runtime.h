#pragma once
// GStreamer is started the first time playback or a length probe needs it,
// never at program start: start-up time and idle memory stay as they were.
#include <string>

namespace mixora {

// Initialises GStreamer and registers the effect element, once per process
// (later calls only report the first outcome). Thread-safe. False, with the
// reason in `why` when given, when GStreamer cannot be used.
bool EnsureGstreamer(std::string* why = nullptr);

} // namespace mixora
