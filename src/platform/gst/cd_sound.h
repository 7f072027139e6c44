#pragma once
// The sound of audio CDs: the disc read digitally by GStreamer
// (cdparanoiasrc, or whatever element reads cdda://), through the effect
// element and the CD line's volume into the desktop's sound output, like
// every other sound the program makes. No GStreamer header here: the
// program names these types before the media module is loaded.
#include <memory>
#include <string>

#include "platform/cd_drive.h"
#include "platform/media_host.h"
#include "platform/system_info.h"

namespace mixora {

class EffectHub;

struct CdSoundOptions {
    // A gst-launch description of what stands in for the disc, with its time
    // 0 at frame 0 of the disc ("filesrc location=disc.wav ! wavparse").
    // Empty: the environment's MIXORA_CD_SOURCE, else the drive itself.
    std::string source;
    // Where the sound goes, as a gst-launch description ending in a sink.
    // Empty: the environment's MIXORA_AUDIO_SINK, else the desktop's output.
    std::string audioSink;
    // Where the reason of a failed play is written (may be null).
    IDebugOutput* log = nullptr;
    // The effect state the sound follows (may be null: no effects).
    EffectHub* effects = nullptr;
};

class GstCdSoundFactory final : public ICdAudioOutputFactory {
public:
    // `host` (and the log and hub of `options`) outlive every output made.
    explicit GstCdSoundFactory(IMediaHost& host, CdSoundOptions options = {});

    // Starts GStreamer. Null, with the reason in `why`, when GStreamer or
    // an element that reads audio CDs is missing, or the stand-in source
    // cannot be made.
    std::unique_ptr<ICdAudioOutput> CreateCdOutput(std::string* why) override;

private:
    IMediaHost& host_;
    CdSoundOptions options_;
};

} // namespace mixora
