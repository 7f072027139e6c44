#include "platform/gst/media_module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

namespace mixora {

std::string MediaModulePath(const std::string& programFolder) {
    const std::string beside = programFolder + "/" + kMediaModuleName;
    if (access(beside.c_str(), F_OK) == 0) {
        return beside;
    }
    return programFolder + "/../lib/mixora/" + kMediaModuleName;
}

MediaModuleFactory::MediaModuleFactory(IMediaHost& host, GstMediaOptions options,
                                       std::string programFolder)
    : host_(host), options_(std::move(options)), path_(MediaModulePath(programFolder)) {}

// The module stays loaded: GStreamer cannot be unloaded once started.
MediaModuleFactory::~MediaModuleFactory() = default;

void* MediaModuleEntry(const std::string& path, const char* entry, std::string& failure) {
    // dlopen counts its own references: a second open of the same module
    // hands back the one already mapped.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* error = dlerror();
        failure = "the media engine could not be loaded: " + std::string(error ? error : path);
        return nullptr;
    }
    void* fn = dlsym(module, entry);
    if (!fn) {
        failure = "the media engine " + path + " has no entry point " + entry;
    }
    return fn;
}

void MediaModuleFactory::Load() {
    auto make =
        reinterpret_cast<MakeMediaFactoryFn>(MediaModuleEntry(path_, kMediaModuleEntry, failure_));
    if (make) {
        factory_.reset(make(&host_, &options_));
    }
}

WaveModuleMci::WaveModuleMci(IMci& others, WaveAudioOptions options, WaveAudioMci::Notify notify,
                             const std::string& programFolder)
    : others_(others), options_(std::move(options)), notify_(std::move(notify)),
      path_(MediaModulePath(programFolder)) {}

WaveModuleMci::~WaveModuleMci() = default;

std::uint32_t WaveModuleMci::SendCommand(std::uint32_t deviceId, std::uint32_t msg,
                                         std::uint32_t flags, void* params) {
    if (!wave_) {
        const auto* open = static_cast<const MCI_OPEN_PARMS*>(params);
        const bool opensWave = msg == MCI_OPEN && open && (flags & MCI_OPEN_TYPE) != 0 &&
                               open->lpstrDeviceType == "waveaudio";
        if (!opensWave) {
            return others_.SendCommand(deviceId, msg, flags, params);
        }
        if (!tried_) {
            tried_ = true;
            std::string failure;
            auto make =
                reinterpret_cast<MakeWaveMciFn>(MediaModuleEntry(path_, kWaveModuleEntry, failure));
            if (make) {
                wave_.reset(make(&others_, &options_, &notify_));
            }
        }
        if (!wave_) {
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
    }
    return wave_->SendCommand(deviceId, msg, flags, params);
}

std::unique_ptr<IMediaControl> MediaModuleFactory::Create(int controlId, const RECT& rect,
                                                          bool visible, std::string* why) {
    std::call_once(once_, [this] { Load(); });
    if (!factory_) {
        if (why) {
            *why = failure_;
        }
        return nullptr;
    }
    return factory_->Create(controlId, rect, visible, why);
}

} // namespace mixora
