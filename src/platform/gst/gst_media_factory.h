#pragma once
// The media control on Linux: GStreamer's playbin with the effect element as
// its audio filter, so the equalizer, the environments and karaoke act on
// every file.
#include <memory>
#include <string>

#include "platform/media_control.h"
#include "platform/media_host.h"
#include "platform/system_info.h"

namespace mixora {

class EffectHub;

struct GstMediaOptions {
    // Where the sound goes, as a gst-launch description of a sink or a chain
    // ending in one ("fakesink", "wavenc ! filesink location=out.wav").
    // Empty: the environment's MIXORA_AUDIO_SINK, else the desktop's
    // default output (autoaudiosink: PulseAudio or PipeWire).
    std::string audioSink;
    // Where the reason of a playback failure is written (may be null).
    IDebugOutput* log = nullptr;
    // The effect state every control's effect element follows (may be null:
    // the sound then passes unchanged).
    EffectHub* effects = nullptr;
};

class GstMediaControlFactory final : public IMediaControlFactory {
public:
    // `host` outlives the factory and every control it makes.
    explicit GstMediaControlFactory(IMediaHost& host, GstMediaOptions options = {});

    // GStreamer is started on the first call, not before.
    std::unique_ptr<IMediaControl> Create(int controlId, const RECT& rect, bool visible,
                                          std::string* why = nullptr) override;

private:
    IMediaHost& host_;
    GstMediaOptions options_;
};

} // namespace mixora
