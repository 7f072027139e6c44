// The entry point of the media engine module the program loads on first use
// (see media_module_loader.h). Everything GStreamer and TagLib bring with
// them is mapped only then.
#include "platform/gst/gst_media_factory.h"
#include "platform/gst/media_module_loader.h"

extern "C" __attribute__((visibility("default"))) mixora::IMediaControlFactory*
mixora_make_media_factory(mixora::IMediaHost* host, const mixora::GstMediaOptions* options) {
    // Owned by the loader from here on.
    return std::make_unique<mixora::GstMediaControlFactory>(*host, *options).release();
}
