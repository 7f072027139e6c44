#pragma once
// The program's media control factory: it loads the media engine module
// (GStreamer, TagLib and the controls made with them) the first time a
// control is asked for, so that the program starts and idles without them
// mapped. Tests and benchmarks link GstMediaControlFactory directly.
#include <memory>
#include <mutex>
#include <string>

#include "platform/gst/gst_media_factory.h"
#include "platform/gst/wave_audio_mci.h"

namespace mixora {

// The module's entry point: a new factory, owned by the caller.
using MakeMediaFactoryFn = IMediaControlFactory* (*)(IMediaHost*, const GstMediaOptions*);
inline constexpr const char* kMediaModuleEntry = "mixora_make_media_factory";
// The module's file name, looked for in the program's folder.
inline constexpr const char* kMediaModuleName = "mixora-media.so";
// Where the module is: beside the program in a build tree, in the private
// folder "<prefix>/lib/mixora" once installed (the program in <prefix>/bin).
std::string MediaModulePath(const std::string& programFolder);

// The module's second entry point: the "waveaudio" device, owned by the
// caller, passing other devices' commands on to `others`.
using MakeWaveMciFn = IMci* (*)(IMci*, const WaveAudioOptions*, const WaveAudioMci::Notify*);
inline constexpr const char* kWaveModuleEntry = "mixora_make_wave_mci";

// Loads the module once per process (from any thread) and finds `entry`;
// null with the reason in `failure` when either cannot be had.
void* MediaModuleEntry(const std::string& path, const char* entry, std::string& failure);

class MediaModuleFactory final : public IMediaControlFactory {
public:
    // `programFolder` holds the module; `host` outlives the factory.
    MediaModuleFactory(IMediaHost& host, GstMediaOptions options, std::string programFolder);
    ~MediaModuleFactory() override;

    // Loads the module on the first call (from any thread); null with the
    // reason in `why` when it cannot be loaded.
    std::unique_ptr<IMediaControl> Create(int controlId, const RECT& rect, bool visible,
                                          std::string* why = nullptr) override;

private:
    void Load();

    IMediaHost& host_;
    GstMediaOptions options_;
    std::string path_;
    std::once_flag once_;
    std::unique_ptr<IMediaControlFactory> factory_;
    std::string failure_;
};

// The program's "waveaudio" device: every command goes to `others` until a
// wave device is first opened; then the module is loaded and the device it
// makes takes every command (it passes the others' on itself).
class WaveModuleMci final : public IMci {
public:
    WaveModuleMci(IMci& others, WaveAudioOptions options, WaveAudioMci::Notify notify,
                  const std::string& programFolder);
    ~WaveModuleMci() override;

    std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t msg, std::uint32_t flags,
                              void* params) override;

private:
    IMci& others_;
    WaveAudioOptions options_;
    WaveAudioMci::Notify notify_;
    std::string path_;
    std::unique_ptr<IMci> wave_;
    bool tried_ = false;
};

} // namespace mixora
