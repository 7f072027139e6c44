#include "platform/gst/cd_module_sound.h"

#include "platform/gst/media_module_loader.h"

namespace mixora {

CdModuleSound::CdModuleSound(IMediaHost& host, CdSoundOptions options,
                             const std::string& programFolder,
                             std::function<void(const std::string&)> report)
    : host_(host), options_(std::move(options)), path_(MediaModulePath(programFolder)),
      report_(std::move(report)) {}

// The module stays loaded: GStreamer cannot be unloaded once started.
CdModuleSound::~CdModuleSound() = default;

std::unique_ptr<ICdAudioOutput> CdModuleSound::CreateCdOutput(std::string* why) {
    if (!tried_) {
        tried_ = true;
        if (auto make =
                reinterpret_cast<MakeCdSoundFn>(MediaModuleEntry(path_, kCdSoundEntry, failure_))) {
            factory_.reset(make(&host_, &options_));
        }
    }
    std::string reason = failure_;
    if (factory_) {
        if (auto output = factory_->CreateCdOutput(&reason)) {
            return output;
        }
    }
    if (!reported_ && report_) {
        reported_ = true;
        report_(reason);
    }
    if (why) {
        *why = reason;
    }
    return nullptr;
}

} // namespace mixora
