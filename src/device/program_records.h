#pragma once
// The few records that live once per program beside the main window. They are
// owned by the application object and handed to whoever needs them, so tests
// can make as many independent programs as they like.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "device/eq_presets.h"

namespace mixora {

struct ProgramRecords {
    // Detect_Language setting: choose a language table from the user's locale.
    int g_bDetectLanguage = 0;
    // The selected language; 0xFFFF is the built-in English texts.
    std::uint16_t g_wLanguage = 0xFFFF;
    // The selected language table's text (in the program's resources, which
    // live as long as the program) and its length in bytes; null when none.
    const char* g_pLangTable = nullptr;
    std::size_t g_nLangTableLength = 0;
    // The recorder's open "waveaudio" device, 0 when closed.
    std::uint32_t g_wRecDevice = 0;
    // Device-instance id of the effect device found by the last discovery.
    std::optional<std::string> g_instanceId;
    // The built-in equalizer presets with their deleted marks.
    CBuiltinPresets g_builtinPresets;
};

} // namespace mixora
