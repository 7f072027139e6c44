#include "device/equalizer.h"

#include "device/device_window.h"
#include "device/eq_channel.h"
#include "device/eq_presets.h"
#include "platform/dialog_view.h"
#include "platform/registry.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

// Room for a value name the lists can show, its terminating zero included.
constexpr DWORD kNameBufferSize = 128;

} // namespace

CEqualizer::CEqualizer(IEqChannel& channel, IRegistry& registry, CBuiltinPresets& presets)
    : channel_(channel), registry_(registry), presets_(presets) {}

bool CEqualizer::GetRecord(EqRecord& record) {
    // Read aside, so a failed read never leaves half a record behind.
    EqRecord read{};
    if (!channel_.GetEqProperty(kEqRecordId, read)) {
        return false;
    }
    record = read;
    return true;
}

bool CEqualizer::SetRecord(std::span<const std::uint8_t, kEqRecordSize> record) {
    return channel_.SetEqProperty(kEqRecordId, record);
}

bool CEqualizer::SetEqProperty(std::uint32_t id, std::span<const std::uint8_t> value) {
    return channel_.SetEqProperty(id, value);
}

void CEqualizer::ShowEqualizer(CDeviceWindow& frame) {
    if (!GetRecord(frame.m_eq)) {
        for (int band = 0; band < kEqBandCount; ++band) {
            frame.Skin().SetSliderFraction(kEqFirstBandControl + band, 0.5);
        }
        frame.Skin().SetButtonState(kEqOnOffControl, 0);
        return;
    }
    for (int band = 0; band < kEqBandCount; ++band) {
        frame.Skin().SetSliderFraction(kEqFirstBandControl + band,
                                       SliderFractionFromGain(EqGain(frame.m_eq, band)));
    }
    frame.Skin().SetButtonState(kEqOnOffControl, EqMask(frame.m_eq) != 0 ? 1 : 0);
}

std::vector<std::string> CEqualizer::PresetNames() {
    std::vector<std::string> names;
    HKEY key = 0;
    if (registry_.OpenKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key) == ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            std::string name;
            DWORD size = kNameBufferSize;
            const LONG rc =
                registry_.EnumValue(key, index, &name, &size, nullptr, nullptr, nullptr);
            if (rc == ERROR_SUCCESS) {
                names.push_back(std::move(name));
            } else if (rc != ERROR_MORE_DATA) {
                // No more items, or a key that went bad: either way the
                // enumeration cannot go on.
                break;
            }
            // A name too long for the list is passed over, not shown cut.
        }
        registry_.CloseKey(key);
    }
    for (int i = 0; i < presets_.Count(); ++i) {
        if (!presets_.IsDeleted(i)) {
            names.emplace_back(presets_.At(i).name);
        }
    }
    return names;
}

void CEqualizer::FillPresetList(IDialogView& view, int listId) {
    for (const std::string& name : PresetNames()) {
        view.AddString(listId, name);
    }
}

void CEqualizer::LoadPreset(CDeviceWindow& frame, const std::string& name) {
    HKEY key = 0;
    if (registry_.OpenKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key) == ERROR_SUCCESS) {
        EqRecord stored{};
        DWORD size = kEqRecordSize;
        const LONG rc = registry_.QueryValue(key, name, nullptr, stored.data(), &size);
        registry_.CloseKey(key);
        // A value of another size is no record of ours: sending it would put
        // whatever lies beyond its end on the driver.
        if (rc == ERROR_SUCCESS && size == kEqRecordSize) {
            SetRecord(stored);
            ShowEqualizer(frame);
            return;
        }
    }

    // The driver's own data words stay as they are; only mask and gains
    // change. Without a record to start from there is nothing to send.
    EqRecord record{};
    if (!GetRecord(record)) {
        return;
    }
    for (int i = 0; i < presets_.Count(); ++i) {
        const BuiltinPreset& preset = presets_.At(i);
        if (name != preset.name) {
            continue;
        }
        SetEqMask(record, kEqMaskOn);
        for (int band = 0; band < kEqBandCount; ++band) {
            SetEqGain(record, band, preset.gains[static_cast<std::size_t>(band)]);
        }
        SetRecord(record);
        ShowEqualizer(frame);
    }
}

bool CEqualizer::SavePreset(const std::string& typed) {
    const std::string name = CutUtf8(typed, kPresetNameMax);
    EqRecord record{};
    if (!GetRecord(record)) {
        return false;
    }
    HKEY key = 0;
    if (registry_.CreateKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key) != ERROR_SUCCESS) {
        return false;
    }
    const LONG rc = registry_.SetValue(key, name, REG_BINARY, record);
    registry_.CloseKey(key);
    // The user preset takes the built-in's place only once it is really
    // kept; hiding the built-in otherwise would lose both.
    if (rc != ERROR_SUCCESS) {
        return false;
    }
    MarkBuiltinDeleted(name);
    return true;
}

bool CEqualizer::DeletePreset(const std::string& name) {
    HKEY key = 0;
    const bool reached =
        registry_.CreateKey(HKEY_LOCAL_MACHINE, kEqPresetKey, &key) == ERROR_SUCCESS;
    if (reached) {
        registry_.DeleteValue(key, name);
        registry_.CloseKey(key);
    }
    MarkBuiltinDeleted(name);
    return reached;
}

void CEqualizer::MarkBuiltinDeleted(const std::string& name) {
    for (int i = 0; i < presets_.Count(); ++i) {
        if (name == presets_.At(i).name) {
            presets_.SetDeleted(i, true);
        }
    }
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    // Step back over continuation bytes to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

} // namespace mixora
