#pragma once
// The "waveaudio" device on Linux: each open gives a new untitled recording
// (see WaveRecording) under its own device id. Commands for other devices go
// on to `others`.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "platform/gst/wave_recording.h"
#include "platform/mci.h"

namespace mixora {

class WaveAudioMci final : public IMci {
public:
    // Posts MM_MCINOTIFY (flag, device id) to the window a command named as
    // its callback. May be called from a streaming thread.
    using Notify =
        std::function<void(std::uintptr_t callback, std::uint32_t flag, std::uint32_t deviceId)>;

    WaveAudioMci(IMci& others, WaveAudioOptions options, Notify notify);
    ~WaveAudioMci() override;

    std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t msg, std::uint32_t flags,
                              void* params) override;

    // The recording behind an open id, or null (for tests and measurements).
    WaveRecording* Recording(std::uint32_t deviceId);

    // Ids of this device stay clear of the ones other devices hand out.
    static constexpr std::uint32_t kFirstId = 0x7F01;

private:
    std::uint32_t Open(std::uint32_t flags, void* params);
    std::uint32_t Command(WaveRecording& r, std::uint32_t id, std::uint32_t msg,
                          std::uint32_t flags, void* params);

    IMci& others_;
    WaveAudioOptions options_;
    Notify notify_;
    std::uint32_t nextId_ = kFirstId;
    std::map<std::uint32_t, std::unique_ptr<WaveRecording>> devices_;
};

} // namespace mixora
