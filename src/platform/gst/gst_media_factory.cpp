#include "platform/gst/gst_media_factory.h"

#include <cstdlib>

#include "platform/gst/gst_media_control.h"
#include "platform/gst/gst_runtime.h"
#include "platform/gst/media_length.h"

namespace mixora {
namespace {

// A control on the empty rectangle: it never sounds or shows anything and
// only answers the length of the file put into it. It holds nothing of
// GStreamer's, so any thread may make and use one.
class LengthProbe final : public IMediaControl {
public:
    void PutFileName(const std::string& path) override { path_ = path; }
    double GetDuration() override { return path_.empty() ? 0.0 : MeasureMediaLength(path_); }
    double GetCurrentPosition() override { return 0.0; }
    void PutCurrentPosition(double) override {}
    int GetPlayState() override { return kMediaStopped; }
    int GetHasPicture() override { return 0; }
    void PutVolume(int) override {}
    void PutMute(bool) override {}
    void PutSwitch(int, bool) override {}
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    void ShowWindow(bool) override {}
    void MoveWindow(const RECT&) override {}

private:
    std::string path_;
};

} // namespace

GstMediaControlFactory::GstMediaControlFactory(IMediaHost& host, GstMediaOptions options)
    : host_(host), options_(std::move(options)) {
    if (options_.audioSink.empty()) {
        if (const char* sink = std::getenv("MIXORA_AUDIO_SINK")) {
            options_.audioSink = sink;
        }
    }
}

std::unique_ptr<IMediaControl> GstMediaControlFactory::Create(int controlId, const RECT& rect,
                                                              bool visible, std::string* why) {
    if (!EnsureGstreamer(why)) {
        return nullptr;
    }
    if (rect == RECT{}) {
        return std::make_unique<LengthProbe>();
    }
    return GstMediaControl::Make(host_, options_, controlId, rect, visible, why);
}

} // namespace mixora
