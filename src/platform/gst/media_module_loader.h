#pragma once
// The program's media control factory: it loads the media engine module
// (GStreamer, TagLib and the controls made with them) the first time a
// control is asked for, so that the program starts and idles without them
// mapped. Tests and benchmarks link GstMediaControlFactory directly.
#include <memory>
#include <mutex>
#include <string>

#include "platform/gst/gst_media_factory.h"

namespace mixora {

// The module's entry point: a new factory, owned by the caller.
using MakeMediaFactoryFn = IMediaControlFactory* (*)(IMediaHost*, const GstMediaOptions*);
inline constexpr const char* kMediaModuleEntry = "mixora_make_media_factory";
// The module's file name, looked for in the program's folder.
inline constexpr const char* kMediaModuleName = "mixora-media.so";

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

} // namespace mixora
