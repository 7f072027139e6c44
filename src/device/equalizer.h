#pragma once
// The equalizer panel and its presets: the driver's record shown on the band
// sliders, and presets loaded, saved and deleted. Built-in presets are hidden
// by their deleted marks; user presets are values of one registry key, named
// as typed, holding the 120-byte record as read from the driver.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/eq_record.h"

namespace mixora {

class CBuiltinPresets;
class CDeviceWindow;
class IDialogView;
class IEqChannel;
class IRegistry;

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kEqPresetKey = "Software\\Ostrel\\AC97 Audio\\EQ";
// The longest preset name, in bytes, a list can show.
inline constexpr std::size_t kPresetNameMax = 127;

class CEqualizer {
public:
    CEqualizer(IEqChannel& channel, IRegistry& registry, CBuiltinPresets& presets);

    // Reads the driver's record into m_eq and shows it: each band slider at
    // its gain and the on/off button lit while any band is enabled. When the
    // driver cannot be read, flat sliders and the button off (m_eq keeps what
    // it held).
    void ShowEqualizer(CDeviceWindow& frame);

    // The whole record from and to the driver.
    bool GetRecord(EqRecord& record);
    bool SetRecord(std::span<const std::uint8_t, kEqRecordSize> record);
    // Any equalizer property (the record for 39, one gain for a band).
    bool SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value);

    // The names the preset lists hold, in the order they are added: the
    // registry's presets, then the built-in ones not deleted, in table order.
    std::vector<std::string> PresetNames();
    void FillPresetList(IDialogView& view, int listId);

    // Puts preset `name` on the driver and the panel: a user preset of that
    // name exactly as stored, else the built-in one switched on.
    void LoadPreset(CDeviceWindow& frame, const std::string& name);
    // Stores the driver's present record as user preset `name` (cut to
    // kPresetNameMax bytes) and hides a built-in preset of that name. True
    // when it was stored.
    bool SavePreset(const std::string& name);
    // Removes user preset `name` and hides a built-in preset of that name.
    // True when the registry key could be reached (the line should go).
    bool DeletePreset(const std::string& name);

private:
    void MarkBuiltinDeleted(const std::string& name);

    IEqChannel& channel_;
    IRegistry& registry_;
    CBuiltinPresets& presets_;
};

// `text` cut to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

} // namespace mixora
