#include "platform/effect_driver/software_effect_device.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dsp/environments.h"
#include "platform/le_bytes.h"

namespace mixora {
namespace {

constexpr int kMinKeyShift = -4;
constexpr int kMaxKeyShift = 4;
constexpr std::int32_t kRoomOff = -10000;

// The kept state: a tag and a layout version, then the state's parts in a
// fixed order, all little-endian.
constexpr std::array<std::uint8_t, 4> kStateTag = {'M', 'X', 'F', 'X'};
constexpr std::uint32_t kStateVersion = 1;
constexpr std::size_t kStateSize =
    4 + 4 + kEqRecordSize + kEaxListenerSize + 3 * 4 + 4 * kEqRecordId;

float GetFloat(std::span<const std::uint8_t> b) {
    const std::uint32_t bits = GetLe32(b);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::span<std::uint8_t> ListenerBytes(EaxListener& l) {
    return {reinterpret_cast<std::uint8_t*>(&l), sizeof l};
}

// The equalizer record's byte offset of a 4-byte id: the switch for id 0,
// the band gains for the band ids; -1 for the driver's own words.
int RecordOffsetOf(std::uint32_t id) {
    if (id == 0) {
        return 0;
    }
    const auto band = std::find(kEqBandIds.begin(), kEqBandIds.end(), id);
    return band == kEqBandIds.end()
               ? -1
               : kEqBandOffsets[static_cast<std::size_t>(band - kEqBandIds.begin())];
}

// Both directions of a fixed-size value: copy out on a get, in on a set.
bool Exchange(std::span<std::uint8_t> field, bool set, std::span<std::uint8_t> value) {
    if (value.size() != field.size()) {
        return false;
    }
    if (set) {
        std::copy(value.begin(), value.end(), field.begin());
    } else {
        std::copy(field.begin(), field.end(), value.begin());
    }
    return true;
}

bool Exchange32(std::int32_t& field, bool set, std::span<std::uint8_t> value) {
    std::array<std::uint8_t, 4> bytes{};
    PutLe32(bytes, static_cast<std::uint32_t>(field));
    if (!Exchange(bytes, set, value)) {
        return false;
    }
    field = GetLe32(bytes);
    return true;
}

constexpr HDEVINFO kAudioListTag = 0x10000;

} // namespace

SoftwareEffectDevice::SoftwareEffectDevice(IRegistry& registry, Sink sink, ListenerSetMode mode)
    : registry_(registry), sink_(std::move(sink)), mode_(mode) {
    Restore();
    if (sink_) {
        sink_(state_);
    }
}

void SoftwareEffectDevice::Restore() {
    state_ = EffectState{};
    ownWords_.fill(0);
    HKEY key = 0;
    if (registry_.OpenKey(HKEY_LOCAL_MACHINE, kStateKey, &key) != ERROR_SUCCESS) {
        return;
    }
    std::vector<std::uint8_t> data(kStateSize);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    const LONG rc = registry_.QueryValue(key, kStateValue, &type, data.data(), &size);
    registry_.CloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_BINARY || size != kStateSize ||
        !std::equal(kStateTag.begin(), kStateTag.end(), data.begin()) ||
        static_cast<std::uint32_t>(GetLe32(std::span(data).subspan(4, 4))) != kStateVersion) {
        return;
    }
    EffectState s;
    std::span<const std::uint8_t> rest = std::span(data).subspan(8);
    std::copy_n(rest.begin(), kEqRecordSize, s.eq.begin());
    rest = rest.subspan(kEqRecordSize);
    std::copy_n(rest.begin(), kEaxListenerSize, ListenerBytes(s.listener).begin());
    rest = rest.subspan(kEaxListenerSize);
    s.eaxEnable = static_cast<std::uint32_t>(GetLe32(rest.subspan(0, 4)));
    s.voiceCancel = GetLe32(rest.subspan(4, 4));
    s.pitchShift = GetLe32(rest.subspan(8, 4));
    rest = rest.subspan(12);
    if (s.pitchShift < kMinKeyShift || s.pitchShift > kMaxKeyShift) {
        return; // not a state this driver could have written
    }
    for (std::size_t i = 0; i < ownWords_.size(); ++i) {
        ownWords_[i] = GetLe32(rest.subspan(4 * i, 4));
    }
    state_ = s;
}

SoftwareEffectDevice::~SoftwareEffectDevice() {
    // The program's end (also by a signal, which ends the message loop)
    // must not lose a change still waiting for its moment.
    SaveState();
}

void SoftwareEffectDevice::SetSaveTimer(SaveTimer timer) {
    saveTimer_ = std::move(timer);
}

void SoftwareEffectDevice::Commit() {
    // The sound changes now; the disk hears of it once the change settles
    // (a band drag sends a request per pixel), or at once without a timer.
    unsaved_ = true;
    if (saveTimer_) {
        saveTimer_(kSettleDelay);
    } else {
        SaveState();
    }
    if (sink_) {
        sink_(state_);
    }
}

void SoftwareEffectDevice::SaveState() {
    if (!unsaved_) {
        return;
    }
    unsaved_ = false;
    std::vector<std::uint8_t> data(kStateSize);
    std::span<std::uint8_t> out(data);
    std::copy(kStateTag.begin(), kStateTag.end(), out.begin());
    PutLe32(out.subspan(4, 4), kStateVersion);
    out = out.subspan(8);
    std::copy(state_.eq.begin(), state_.eq.end(), out.begin());
    out = out.subspan(kEqRecordSize);
    EaxListener listener = state_.listener;
    const auto lb = ListenerBytes(listener);
    std::copy(lb.begin(), lb.end(), out.begin());
    out = out.subspan(kEaxListenerSize);
    PutLe32(out.subspan(0, 4), state_.eaxEnable);
    PutLe32(out.subspan(4, 4), static_cast<std::uint32_t>(state_.voiceCancel));
    PutLe32(out.subspan(8, 4), static_cast<std::uint32_t>(state_.pitchShift));
    out = out.subspan(12);
    for (std::size_t i = 0; i < ownWords_.size(); ++i) {
        PutLe32(out.subspan(4 * i, 4), static_cast<std::uint32_t>(ownWords_[i]));
    }

    // A store that cannot be written loses only the memory across runs; the
    // effect itself still changes now.
    HKEY key = 0;
    if (registry_.CreateKey(HKEY_LOCAL_MACHINE, kStateKey, &key) == ERROR_SUCCESS) {
        registry_.SetValue(key, kStateValue, REG_BINARY, data);
        registry_.CloseKey(key);
    }
}

void SoftwareEffectDevice::SetVoiceCancel(std::int32_t on) {
    state_.voiceCancel = on != 0 ? 1 : 0;
    Commit();
}

bool SoftwareEffectDevice::SetPitchShift(std::int32_t steps) {
    if (steps < kMinKeyShift || steps > kMaxKeyShift) {
        return false;
    }
    state_.pitchShift = steps;
    Commit();
    return true;
}

void SoftwareEffectDevice::ApplyGlobalReverb(
    std::span<const std::uint8_t, kGlobalReverbSize> record) {
    auto field = [&](int n) { return std::span<const std::uint8_t>(record).subspan(4 * n, 4); };
    EaxListener r;
    r.lRoom = GetLe32(field(0));
    r.lRoomHF = GetLe32(field(1));
    r.flRoomRolloffFactor = GetFloat(field(2));
    r.flDecayTime = GetFloat(field(3));
    r.flDecayHFRatio = GetFloat(field(4));
    r.lReflections = GetLe32(field(5));
    r.flReflectionsDelay = GetFloat(field(6));
    r.lReverb = GetLe32(field(7));
    r.flReverbDelay = GetFloat(field(8));
    const float diffusionPercent = GetFloat(field(9));

    // The record carries no room size or modulation; an environment whose
    // published levels and times it repeats lends them, so both roads
    // sound the same room.
    EaxListener base = ListenerForEnvironment(0);
    for (const EnvironmentPreset& preset : Environments()) {
        const EaxListener& e = preset.listener;
        if (e.lRoomHF == r.lRoomHF && e.flDecayTime == r.flDecayTime &&
            e.flDecayHFRatio == r.flDecayHFRatio && e.lReflections == r.lReflections &&
            e.flReflectionsDelay == r.flReflectionsDelay && e.lReverb == r.lReverb &&
            e.flReverbDelay == r.flReverbDelay) {
            base = e;
            break;
        }
    }
    base.lRoom = r.lRoom;
    base.lRoomHF = r.lRoomHF;
    base.flRoomRolloffFactor = r.flRoomRolloffFactor;
    base.flDecayTime = r.flDecayTime;
    base.flDecayHFRatio = r.flDecayHFRatio;
    base.lReflections = r.lReflections;
    base.flReflectionsDelay = r.flReflectionsDelay;
    base.lReverb = r.lReverb;
    base.flReverbDelay = r.flReverbDelay;
    base.flEnvironmentDiffusion = std::clamp(diffusionPercent / 100.0f, 0.0f, 1.0f);
    state_.listener = base;
    state_.eaxEnable = r.lRoom > kRoomOff ? 1 : 0;
    Commit();
}

// ---- device installation ------------------------------------------------

HDEVINFO SoftwareEffectDevice::GetClassDevs(const GUID& interfaceClass) {
    // The tag tells an audio list (one device) from a list of any other class (none).
    const HDEVINFO list = next_++ | (interfaceClass == KSCATEGORY_AUDIO ? kAudioListTag : 0);
    lists_.insert(list);
    return list;
}

bool SoftwareEffectDevice::EnumDeviceInfo(HDEVINFO list, std::uint32_t index) {
    return lists_.count(list) != 0 && (list & kAudioListTag) != 0 && index == 0;
}

bool SoftwareEffectDevice::GetDeviceInstanceId(HDEVINFO list, std::uint32_t device,
                                               std::string* id) {
    if (!EnumDeviceInfo(list, device)) {
        return false;
    }
    *id = kInstanceId;
    return true;
}

bool SoftwareEffectDevice::EnumDeviceInterfaces(HDEVINFO list, std::uint32_t device,
                                                const GUID& interfaceClass, std::uint32_t index) {
    return EnumDeviceInfo(list, device) && interfaceClass == KSCATEGORY_AUDIO && index < 2;
}

bool SoftwareEffectDevice::GetDeviceInterfaceDetail(HDEVINFO list, std::uint32_t device,
                                                    const GUID& interfaceClass, std::uint32_t index,
                                                    std::string* devicePath) {
    if (!EnumDeviceInterfaces(list, device, interfaceClass, index)) {
        return false;
    }
    *devicePath = index == 0 ? kTopologyPath : kWavePath;
    return true;
}

void SoftwareEffectDevice::DestroyDeviceInfoList(HDEVINFO list) {
    lists_.erase(list);
}

// ---- device I/O -----------------------------------------------------------

namespace {
bool SamePath(const std::string& a, const char* b) {
    const std::string other(b);
    return a.size() == other.size() &&
           std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}
} // namespace

HANDLE SoftwareEffectDevice::CreateFile(const std::string& path) {
    const bool wave = SamePath(path, kWavePath);
    if (!wave && !SamePath(path, kTopologyPath)) {
        return 0;
    }
    const HANDLE h = next_++;
    handles_.insert(h);
    if (wave) {
        waveHandles_.insert(h);
    }
    return h;
}

void SoftwareEffectDevice::CloseHandle(HANDLE device) {
    handles_.erase(device);
    waveHandles_.erase(device);
}

bool SoftwareEffectDevice::DeviceIoControl(HANDLE device, std::uint32_t ioControlCode,
                                           std::span<const std::uint8_t> input,
                                           std::span<std::uint8_t> output) {
    if (waveHandles_.count(device) == 0 || ioControlCode != IOCTL_KS_PROPERTY) {
        return false;
    }
    const std::optional<KsProperty> request = KsProperty::Parse(input);
    if (!request ||
        (request->flags != KSPROPERTY_TYPE_GET && request->flags != KSPROPERTY_TYPE_SET)) {
        return false;
    }
    return Answer(*request, output);
}

bool SoftwareEffectDevice::Answer(const KsProperty& request, std::span<std::uint8_t> value) {
    const bool set = request.flags == KSPROPERTY_TYPE_SET;
    bool done = false;
    if (request.set == DSPROPSETID_EAX20_ListenerProperties) {
        done = AnswerListener(request.id, set, value);
    } else if (request.set == KSPROPSETID_Karaoke) {
        done = AnswerKaraoke(request.id, set, value);
    } else if (request.set == KSPROPSETID_PrivateEax) {
        done = AnswerPrivateEax(request.id, set, value);
    } else if (request.set == KSPROPSETID_Equalizer) {
        done = AnswerEqualizer(request.id, set, value);
    }
    if (done && set) {
        Commit();
    }
    return done;
}

bool SoftwareEffectDevice::AnswerListener(std::uint32_t id, bool set,
                                          std::span<std::uint8_t> value) {
    if (mode_ == ListenerSetMode::Refused || id >= kEaxListenerIdCount) {
        return false;
    }
    if (id == DSPROPERTY_EAXLISTENER_NONE) {
        return value.empty();
    }
    if (id == DSPROPERTY_EAXLISTENER_ALLPARAMETERS) {
        return Exchange(ListenerBytes(state_.listener), set, value);
    }
    if (id == DSPROPERTY_EAXLISTENER_ENVIRONMENT && set) {
        // Choosing an environment loads its published parameters whole.
        if (value.size() != 4) {
            return false;
        }
        const std::uint32_t index = static_cast<std::uint32_t>(GetLe32(value));
        if (index >= static_cast<std::uint32_t>(kEnvironmentCount)) {
            return false;
        }
        state_.listener = ListenerForEnvironment(static_cast<int>(index));
        return true;
    }
    // Ids 2..15 are the record's fields in order, 4 bytes each.
    return Exchange(ListenerBytes(state_.listener).subspan(4 * (id - 2), 4), set, value);
}

bool SoftwareEffectDevice::AnswerKaraoke(std::uint32_t id, bool set,
                                         std::span<std::uint8_t> value) {
    if (id == PROPERTY_Ostrel_VoiceCancel) {
        std::int32_t v = state_.voiceCancel;
        if (!Exchange32(v, set, value)) {
            return false;
        }
        state_.voiceCancel = v != 0 ? 1 : 0;
        return true;
    }
    if (id == PROPERTY_Ostrel_PitchShift) {
        std::int32_t v = state_.pitchShift;
        if (!Exchange32(v, set, value) || v < kMinKeyShift || v > kMaxKeyShift) {
            return false;
        }
        state_.pitchShift = v;
        return true;
    }
    return false;
}

bool SoftwareEffectDevice::AnswerPrivateEax(std::uint32_t id, bool set,
                                            std::span<std::uint8_t> value) {
    if (id != PROPERTY_Ostrel_EaxEnable) {
        return false;
    }
    std::int32_t v = static_cast<std::int32_t>(state_.eaxEnable);
    if (!Exchange32(v, set, value)) {
        return false;
    }
    state_.eaxEnable = static_cast<std::uint32_t>(v);
    return true;
}

bool SoftwareEffectDevice::AnswerEqualizer(std::uint32_t id, bool set,
                                           std::span<std::uint8_t> value) {
    if (id == kEqRecordId) {
        return Exchange(state_.eq, set, value);
    }
    if (id > kEqRecordId) {
        return false;
    }
    const int offset = RecordOffsetOf(id);
    if (offset < 0) {
        return Exchange32(ownWords_[id], set, value);
    }
    return Exchange(std::span(state_.eq).subspan(static_cast<std::size_t>(offset), 4), set, value);
}

} // namespace mixora
