#pragma once
// The software effect driver's device: the one audio device the Linux
// build lists, with a wave interface that answers the effect property
// requests (EAX 2.0 listener, karaoke, private EAX switch, equalizer) the
// way the sound card's driver did. It holds the one effect state, keeps it
// in the registry store across runs as a driver keeps its settings, and
// hands every new state to a sink (the GStreamer effect element).
//
// Everything runs on the UI thread; the sink is called synchronously.
#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <span>

#include "dsp/effect_state.h"
#include "platform/device_install.h"
#include "platform/ks_properties.h"
#include "platform/registry.h"

namespace mixora {

// Whether the wave interface answers the EAX 2.0 listener set. A driver
// that refuses it sends the program down the DirectSound global-reverb road.
enum class ListenerSetMode { Answered, Refused };

// The 48-byte global-reverb record: lRoom, lRoomHF, flRoomRolloffFactor,
// flDecayTime, flDecayHFRatio, lReflections, flReflectionsDelay, lReverb,
// flReverbDelay, flDiffusion (percent), flDensity (percent), flHFReference (Hz).
inline constexpr std::size_t kGlobalReverbSize = 48;

class SoftwareEffectDevice final : public IDeviceInstall {
public:
    using Sink = std::function<void(const EffectState&)>;
    // Starts, or starts again, a one-shot on the UI thread that calls
    // SaveState() once `delay` has passed.
    using SaveTimer = std::function<void(std::chrono::milliseconds delay)>;
    // How long a state must stay unchanged before it is written.
    static constexpr std::chrono::milliseconds kSettleDelay{500};

    static constexpr const char* kInstanceId = "SWENUM\\MIXORA_SOFTWARE_EFFECTS\\0";
    static constexpr const char* kTopologyPath =
        "\\\\?\\swenum#mixora_software_effects#0#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\topology";
    static constexpr const char* kWavePath =
        "\\\\?\\swenum#mixora_software_effects#0#{6994ad04-93ef-11d0-a3cc-00a0c9223196}\\wave";
    // Where the state is kept: HKEY_LOCAL_MACHINE, this key, one REG_BINARY value.
    static constexpr const char* kStateKey = "Software\\Mixora\\Effect Driver";
    static constexpr const char* kStateValue = "State";

    // Restores the state kept in `registry` (a missing or damaged value
    // gives the defaults: equalizer off and flat, no environment, karaoke
    // off, key 0) and hands it to `sink` once. `registry` must outlive the device.
    SoftwareEffectDevice(IRegistry& registry, Sink sink,
                         ListenerSetMode mode = ListenerSetMode::Answered);
    // Writes a state still waiting for its moment.
    ~SoftwareEffectDevice() override;
    SoftwareEffectDevice(const SoftwareEffectDevice&) = delete;
    SoftwareEffectDevice& operator=(const SoftwareEffectDevice&) = delete;

    // Without a timer every change is written to the store before the
    // request returns. With one, a change reaches the sink at once and the
    // store only when the timer fires: once per burst of changes.
    void SetSaveTimer(SaveTimer timer);
    // Writes the state to the store if it changed since the last write;
    // for the timer, and before the machine suspends.
    void SaveState();
    bool HasUnsavedState() const { return unsaved_; }

    const EffectState& State() const { return state_; }
    bool AnswersListenerSet() const { return mode_ == ListenerSetMode::Answered; }

    // Karaoke from the mixer's controls. Voice cancellation is on while
    // `on` is not 0; a key shift outside -4..4 is refused.
    void SetVoiceCancel(std::int32_t on);
    bool SetPitchShift(std::int32_t steps);
    // The DirectSound global-reverb record: it replaces the reverb; a room
    // level of -10000 mB (the "off" record) switches the reverb off.
    void ApplyGlobalReverb(std::span<const std::uint8_t, kGlobalReverbSize> record);

    // IDeviceInstall: the device list holds this device for KSCATEGORY_AUDIO
    // and nothing for any other class.
    HDEVINFO GetClassDevs(const GUID& interfaceClass) override;
    bool EnumDeviceInfo(HDEVINFO list, std::uint32_t index) override;
    bool GetDeviceInstanceId(HDEVINFO list, std::uint32_t device, std::string* id) override;
    bool EnumDeviceInterfaces(HDEVINFO list, std::uint32_t device, const GUID& interfaceClass,
                              std::uint32_t index) override;
    bool GetDeviceInterfaceDetail(HDEVINFO list, std::uint32_t device, const GUID& interfaceClass,
                                  std::uint32_t index, std::string* devicePath) override;
    void DestroyDeviceInfoList(HDEVINFO list) override;
    HANDLE CreateFile(const std::string& path) override;
    bool DeviceIoControl(HANDLE device, std::uint32_t ioControlCode,
                         std::span<const std::uint8_t> input,
                         std::span<std::uint8_t> output) override;
    void CloseHandle(HANDLE device) override;

private:
    bool Answer(const KsProperty& request, std::span<std::uint8_t> value);
    bool AnswerListener(std::uint32_t id, bool set, std::span<std::uint8_t> value);
    bool AnswerKaraoke(std::uint32_t id, bool set, std::span<std::uint8_t> value);
    bool AnswerPrivateEax(std::uint32_t id, bool set, std::span<std::uint8_t> value);
    bool AnswerEqualizer(std::uint32_t id, bool set, std::span<std::uint8_t> value);
    void Restore();
    // Hands the state on and has it kept; after every change.
    void Commit();

    IRegistry& registry_;
    Sink sink_;
    SaveTimer saveTimer_;
    bool unsaved_ = false;
    ListenerSetMode mode_;
    EffectState state_;
    // Equalizer ids that are neither the switch (0) nor a band gain: words
    // of the driver's own, kept and returned as they were set.
    std::array<std::int32_t, kEqRecordId> ownWords_{};
    std::set<HDEVINFO> lists_;
    std::set<HANDLE> handles_;
    // Which open handles are the wave interface (only it answers).
    std::set<HANDLE> waveHandles_;
    std::uintptr_t next_ = 1;
};

} // namespace mixora
