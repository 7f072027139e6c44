#pragma once
// The visible media control: one playbin that plays one file at a time,
// sounds through the effect element, and shows its picture on a rectangle
// of the main window.
#include <gst/gst.h>

#include <memory>
#include <string>

#include "platform/gst/gst_media_factory.h"

namespace mixora {

class GstMediaControl final : public IMediaControl {
public:
    // Null, with the reason in `why`, when the pipeline cannot be built.
    static std::unique_ptr<IMediaControl> Make(IMediaHost& host, const GstMediaOptions& options,
                                               int controlId, const RECT& rect, bool visible,
                                               std::string* why);
    ~GstMediaControl() override;

    void PutFileName(const std::string& path) override;
    double GetDuration() override;
    double GetCurrentPosition() override;
    void PutCurrentPosition(double seconds) override;
    int GetPlayState() override;
    int GetHasPicture() override;
    void PutVolume(int volume) override;
    void PutMute(bool mute) override;
    void PutSwitch(int id, bool value) override;
    void Play() override;
    void Pause() override;
    void Stop() override;
    void ShowWindow(bool visible) override;
    void MoveWindow(const RECT& rect) override;

    // What the streaming threads share with the control (defined inside).
    struct Shared;

private:
    GstMediaControl(IMediaHost& host, IDebugOutput* log, int controlId, const RECT& rect,
                    bool visible);
    bool Build(const GstMediaOptions& options, std::string* why);
    bool WaitOpened();
    void StartFresh(); // the position counts again from here on
    void SetPictureSize();
    void ShowPicture();
    void HidePicture();

    friend struct Shared;
    void OnEnded(bool failed, const std::string& reason);
    void OnFrame(GstSample* sample);

    IMediaHost& host_;
    IDebugOutput* log_;
    int id_;
    RECT rect_;
    bool visible_;
    bool autoRewind_ = true;
    GstElement* playbin_ = nullptr;
    GstElement* gain_ = nullptr;        // the volume element before the sink
    GstElement* pictureSize_ = nullptr; // the capsfilter that scales frames to rect_
    std::shared_ptr<Shared> shared_;

    std::string path_;
    int state_ = kMediaStopped;
    enum class End { None, Finished, Failed } end_ = End::None;
    bool ready_ = true;            // the pipeline is held in READY (stopped, nothing open)
    double startAt_ = 0.0;         // where Play starts from after a stop
    double duration_ = 0.0;        // last length known of the loaded media
    double position_ = 0.0;        // last position the pipeline told
    GstSample* picture_ = nullptr; // the latest frame
    bool pictureShown_ = false;
};

} // namespace mixora
