#include "platform/gst/media_module_loader.h"

#include <dlfcn.h>

namespace mixora {

MediaModuleFactory::MediaModuleFactory(IMediaHost& host, GstMediaOptions options,
                                       std::string programFolder)
    : host_(host), options_(std::move(options)),
      path_(std::move(programFolder) + "/" + kMediaModuleName) {}

// The module stays loaded: GStreamer cannot be unloaded once started.
MediaModuleFactory::~MediaModuleFactory() = default;

void MediaModuleFactory::Load() {
    void* module = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* error = dlerror();
        failure_ = "the media engine could not be loaded: " + std::string(error ? error : path_);
        return;
    }
    auto make = reinterpret_cast<MakeMediaFactoryFn>(dlsym(module, kMediaModuleEntry));
    if (!make) {
        failure_ = "the media engine " + path_ + " has no entry point";
        return;
    }
    factory_.reset(make(&host_, &options_));
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
