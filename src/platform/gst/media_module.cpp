// The entry point of the media engine module the program loads on first use
// (see media_module_loader.h). Everything GStreamer and TagLib bring with
// them is mapped only then.
#include "platform/gst/cd_sound.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/gst/media_module_loader.h"
#include "platform/gst/media_tags.h"

extern "C" __attribute__((visibility("default"))) mixora::IMediaControlFactory*
mixora_make_media_factory(mixora::IMediaHost* host, const mixora::GstMediaOptions* options) {
    // Owned by the loader from here on.
    return std::make_unique<mixora::GstMediaControlFactory>(*host, *options).release();
}

extern "C" __attribute__((visibility("default"))) mixora::IMci*
mixora_make_wave_mci(mixora::IMci* others, const mixora::WaveAudioOptions* options,
                     const mixora::WaveAudioMci::Notify* notify) {
    // Owned by the caller from here on.
    return std::make_unique<mixora::WaveAudioMci>(*others, *options, *notify).release();
}

extern "C" __attribute__((visibility("default"))) mixora::ICdAudioOutputFactory*
mixora_make_cd_sound(mixora::IMediaHost* host, const mixora::CdSoundOptions* options) {
    // Owned by the caller from here on.
    return std::make_unique<mixora::GstCdSoundFactory>(*host, *options).release();
}

extern "C" __attribute__((visibility("default"))) bool
mixora_read_media_tags(const char* path, mixora::MediaTags* tags) {
    return mixora::ReadMediaTags(path, *tags);
}
