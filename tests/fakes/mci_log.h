#pragma once
// How the fakes write an MCI request down: the command's name and numbers
// in fixed-width hex, so logged requests read the same in every test.
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/mci.h"

namespace mixora {

inline std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08X", v);
    return buf;
}

inline std::string MciName(std::uint32_t msg) {
    switch (msg) {
    case MCI_OPEN:
        return "open";
    case MCI_CLOSE:
        return "close";
    case MCI_PLAY:
        return "play";
    case MCI_PAUSE:
        return "pause";
    case MCI_STOP:
        return "stop";
    case MCI_SET:
        return "set";
    case MCI_STATUS:
        return "status";
    case MCI_SEEK:
        return "seek";
    default:
        return std::to_string(msg);
    }
}

} // namespace mixora
