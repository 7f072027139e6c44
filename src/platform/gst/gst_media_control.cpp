#include "platform/gst/gst_media_control.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/gstaudiobasesink.h>
#include <gst/audio/gstaudiodecoder.h>
#include <gst/video/video.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

#include "platform/gst/effect_element.h"
#include "platform/gst/media_length.h"

namespace mixora {
namespace {

// The desktop sink's ring buffer. The sink wakes once per segment; tiny
// segments (the default is 10 ms) cost more CPU than decoding and the
// effects together. What the effect element has processed reaches the ear
// within one buffer, so the buffer stays well under the 150 ms in which a
// turned knob must be heard.
constexpr gint64 kSinkBufferUs = 100000;
constexpr gint64 kSinkSegmentUs = 50000;

// Decoders hand on their sound in pieces of at least this length instead of
// one frame at a time (26 ms for MP3): each piece wakes the queue, the
// effects and the sink once, which saves a quarter of the CPU playback
// costs. The effects take up a change at the next piece; with the sink's
// buffer a change is heard about 0.1 s later (bench/playback.sh).
constexpr gint64 kDecoderPieceNs = 100 * GST_MSECOND;

// How long a call that needs the opened media waits for it.
constexpr GstClockTime kOpenWait = 3 * GST_SECOND;

// playbin's flags: audio and video; no subtitles, no deinterlacing or colour
// balance, and no volume of its own (ours sits right before the sink).
constexpr guint kPlayFlags = 0x1 | 0x2;

void TuneAudioElement(GstBin*, GstBin*, GstElement* element, gpointer) {
    if (GST_IS_AUDIO_BASE_SINK(element)) {
        g_object_set(element, "buffer-time", kSinkBufferUs, "latency-time", kSinkSegmentUs,
                     nullptr);
    } else if (GST_IS_AUDIO_DECODER(element)) {
        g_object_set(element, "min-latency", kDecoderPieceNs, nullptr);
    }
}

GstElement* MakeBin(const std::string& description, std::string* why) {
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (!bin && why) {
        *why = "cannot make \"" + description + "\": " + (error ? error->message : "unknown");
    }
    g_clear_error(&error);
    return bin;
}

} // namespace

// Between the control (UI thread) and the streaming threads. The control
// owns it; tasks posted to the UI thread hold it weakly and deliver nothing
// once the control has gone or has loaded other media since.
struct GstMediaControl::Shared : std::enable_shared_from_this<GstMediaControl::Shared> {
    explicit Shared(IMediaHost& h) : host(h) {}

    IMediaHost& host;
    GstMediaControl* owner = nullptr; // UI thread only; null once the control is gone
    std::atomic<unsigned> serial{0};  // changes whenever the media or its end moves
    std::atomic<bool> endPosted{false};

    std::mutex frameMutex;
    GstSample* frame = nullptr; // the newest frame not yet taken by the UI thread
    unsigned frameSerial = 0;
    std::atomic<bool> framePending{false};

    ~Shared() {
        if (frame) {
            gst_sample_unref(frame);
        }
    }

    // Any thread: reports the end of the media once per load.
    void PostEnd(bool failed, std::string reason) {
        const unsigned at = serial.load();
        if (endPosted.exchange(true)) {
            return;
        }
        host.PostTask([weak = weak_from_this(), at, failed, reason = std::move(reason)] {
            auto self = weak.lock();
            if (self && self->owner && self->serial.load() == at) {
                self->owner->OnEnded(failed, reason);
            }
        });
    }

    void PostFrame(GstSample* sample) {
        {
            std::lock_guard lock(frameMutex);
            std::swap(frame, sample);
            frameSerial = serial.load();
        }
        if (sample) {
            gst_sample_unref(sample);
        }
        if (framePending.exchange(true)) {
            return; // the UI thread takes the newest frame when it gets to it
        }
        host.PostTask([weak = weak_from_this()] {
            auto self = weak.lock();
            if (!self) {
                return;
            }
            self->framePending = false;
            GstSample* taken = nullptr;
            {
                std::lock_guard lock(self->frameMutex);
                if (self->frameSerial == self->serial.load()) {
                    std::swap(taken, self->frame);
                }
            }
            if (taken && self->owner) {
                self->owner->OnFrame(taken);
            } else if (taken) {
                gst_sample_unref(taken);
            }
        });
    }

    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
        auto* self = static_cast<Shared*>(data);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
            self->PostEnd(false, {});
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            GError* error = nullptr;
            gchar* debug = nullptr;
            gst_message_parse_error(message, &error, &debug);
            std::string reason = error ? error->message : "unknown error";
            if (debug) {
                reason += std::string(" (") + debug + ")";
            }
            g_clear_error(&error);
            g_free(debug);
            self->PostEnd(true, std::move(reason));
        }
        // Nothing waits on the bus: every message is handled here.
        return GST_BUS_DROP;
    }

    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer data) {
        if (GstSample* sample = gst_app_sink_pull_sample(sink)) {
            static_cast<Shared*>(data)->PostFrame(sample);
        }
        return GST_FLOW_OK;
    }
};

std::unique_ptr<IMediaControl> GstMediaControl::Make(IMediaHost& host,
                                                     const GstMediaOptions& options, int controlId,
                                                     const RECT& rect, bool visible,
                                                     std::string* why) {
    std::unique_ptr<GstMediaControl> control(
        new GstMediaControl(host, options.log, controlId, rect, visible));
    if (!control->Build(options, why)) {
        return nullptr;
    }
    return control;
}

GstMediaControl::GstMediaControl(IMediaHost& host, IDebugOutput* log, int controlId,
                                 const RECT& rect, bool visible)
    : host_(host), log_(log), id_(controlId), rect_(rect), visible_(visible),
      shared_(std::make_shared<Shared>(host)) {
    shared_->owner = this;
}

bool GstMediaControl::Build(const GstMediaOptions& options, std::string* why) {
    const std::string& audioSink = options.audioSink;
    playbin_ = gst_element_factory_make("playbin", nullptr);
    if (!playbin_) {
        if (why) {
            *why = "GStreamer's playbin element is missing (gstreamer1.0-plugins-base)";
        }
        return false;
    }
    gst_object_ref_sink(playbin_);
    g_signal_connect(playbin_, "deep-element-added", G_CALLBACK(TuneAudioElement), nullptr);

    // The effects and the volume go right before the sink, not in playbin's
    // audio filter: that one runs ahead of a queue holding a second of
    // sound, and a turned knob would be heard a second late.
    GstElement* sink = MakeBin("audioconvert ! mixoraeffects name=effects ! volume name=gain ! " +
                                   (audioSink.empty() ? std::string("autoaudiosink") : audioSink),
                               why);
    GstElement* video = MakeBin("videoscale ! videoconvert ! capsfilter name=size ! "
                                "appsink name=frames sync=true max-buffers=1 drop=true",
                                why);
    if (!sink || !video) {
        for (GstElement* e : {sink, video}) {
            if (e) {
                gst_object_unref(gst_object_ref_sink(e));
            }
        }
        return false;
    }
    gain_ = gst_bin_get_by_name(GST_BIN(sink), "gain");
    // The program's one effect state, so every knob is heard on every file.
    GstElement* effects = gst_bin_get_by_name(GST_BIN(sink), "effects");
    g_object_set(effects, kEffectHubProperty, static_cast<gpointer>(options.effects), nullptr);
    gst_object_unref(effects);
    pictureSize_ = gst_bin_get_by_name(GST_BIN(video), "size");
    GstElement* frames = gst_bin_get_by_name(GST_BIN(video), "frames");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &Shared::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(frames), &callbacks, shared_.get(), nullptr);
    gst_object_unref(frames);
    SetPictureSize();

    g_object_set(playbin_, "audio-sink", sink, "video-sink", video, "flags", kPlayFlags, nullptr);
    GstBus* bus = gst_element_get_bus(playbin_);
    gst_bus_set_sync_handler(bus, &Shared::OnBusMessage, shared_.get(), nullptr);
    gst_object_unref(bus);
    return true;
}

GstMediaControl::~GstMediaControl() {
    shared_->owner = nullptr;
    HidePicture();
    if (playbin_) {
        // Stopping joins the streaming threads: nothing calls into
        // shared_ afterwards.
        gst_element_set_state(playbin_, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(playbin_);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(playbin_);
    }
    for (GstElement* e : {gain_, pictureSize_}) {
        if (e) {
            gst_object_unref(e);
        }
    }
    if (picture_) {
        gst_sample_unref(picture_);
    }
}

void GstMediaControl::StartFresh() {
    shared_->serial++;
    shared_->endPosted = false;
    end_ = End::None;
}

void GstMediaControl::PutFileName(const std::string& path) {
    gst_element_set_state(playbin_, path.empty() ? GST_STATE_NULL : GST_STATE_READY);
    StartFresh();
    path_.clear();
    duration_ = 0.0;
    startAt_ = 0.0;
    position_ = 0.0;
    ready_ = true;
    state_ = kMediaStopped;
    if (picture_) {
        gst_sample_unref(picture_);
        picture_ = nullptr;
    }
    HidePicture();
    if (path.empty()) {
        return;
    }
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (!uri) {
        path_ = path;
        shared_->PostEnd(true, "not a file name");
        return;
    }
    g_object_set(playbin_, "uri", uri, nullptr);
    g_free(uri);
    path_ = path;
    ready_ = false;
    state_ = kMediaPlaying;
    if (gst_element_set_state(playbin_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        // The error on the bus has normally said why already; this only
        // makes sure the end is reported.
        shared_->PostEnd(true, "the media could not be started");
    }
}

bool GstMediaControl::WaitOpened() {
    if (path_.empty() || ready_ || end_ == End::Failed) {
        return false;
    }
    const GstStateChangeReturn r = gst_element_get_state(playbin_, nullptr, nullptr, kOpenWait);
    return r == GST_STATE_CHANGE_SUCCESS || r == GST_STATE_CHANGE_NO_PREROLL;
}

double GstMediaControl::GetDuration() {
    gint64 ns = 0;
    if (WaitOpened() && gst_element_query_duration(playbin_, GST_FORMAT_TIME, &ns) && ns > 0) {
        duration_ = static_cast<double>(ns) / GST_SECOND;
    } else if (duration_ == 0.0 && !path_.empty() && end_ != End::Failed) {
        // Parsers of some formats (MP3) know the length only after reading
        // a while; the file's headers know it now.
        duration_ = MeasureMediaLength(path_);
    }
    return end_ == End::Failed ? 0.0 : duration_;
}

double GstMediaControl::GetCurrentPosition() {
    if (path_.empty() || end_ == End::Failed) {
        return 0.0;
    }
    if (ready_) {
        return startAt_;
    }
    // While a seek or a state change is under way the pipeline may not
    // answer; the last answer is then the best one.
    gint64 ns = 0;
    if (gst_element_query_position(playbin_, GST_FORMAT_TIME, &ns) && ns >= 0) {
        position_ = static_cast<double>(ns) / GST_SECOND;
    }
    return position_;
}

void GstMediaControl::PutCurrentPosition(double seconds) {
    if (path_.empty() || end_ == End::Failed) {
        return;
    }
    seconds = std::max(0.0, seconds);
    if (ready_) {
        startAt_ = seconds; // taken up by the next Play
        return;
    }
    if (!WaitOpened()) {
        return;
    }
    gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            static_cast<gint64>(seconds * GST_SECOND));
    WaitOpened(); // until the media has got there, so the position tells
    // A seek after the end plays on from the new place; an end reported
    // before the seek no longer holds.
    StartFresh();
}

int GstMediaControl::GetPlayState() {
    return state_;
}

int GstMediaControl::GetHasPicture() {
    gint videos = 0;
    if (WaitOpened()) {
        g_object_get(playbin_, "n-video", &videos, nullptr);
    }
    return videos > 0 ? 1 : 0;
}

void GstMediaControl::PutVolume(int volume) {
    // Hundredths of a decibel: -3000 is -30 dB, 0 is unity.
    const double gain = std::pow(10.0, std::clamp(volume, -10000, 0) / 2000.0);
    g_object_set(gain_, "volume", gain, nullptr);
}

void GstMediaControl::PutMute(bool mute) {
    g_object_set(gain_, "mute", mute ? TRUE : FALSE, nullptr);
}

void GstMediaControl::PutSwitch(int id, bool value) {
    // The control draws no buttons, status bar or display of its own; only
    // rewinding at the end changes what it does.
    if (id == kMediaSwitchAutoRewind) {
        autoRewind_ = value;
    }
}

void GstMediaControl::Play() {
    if (path_.empty() || end_ == End::Failed) {
        return;
    }
    if (ready_) {
        ready_ = false;
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
        if (startAt_ > 0.0) {
            PutCurrentPosition(startAt_);
        }
        startAt_ = 0.0;
    } else if (end_ == End::Finished) {
        PutCurrentPosition(0.0);
    }
    StartFresh();
    gst_element_set_state(playbin_, GST_STATE_PLAYING);
    state_ = kMediaPlaying;
}

void GstMediaControl::Pause() {
    if (state_ != kMediaPlaying || ready_) {
        return;
    }
    gst_element_set_state(playbin_, GST_STATE_PAUSED);
    state_ = kMediaPaused;
}

void GstMediaControl::Stop() {
    if (path_.empty()) {
        return;
    }
    // READY closes the sound device; the next Play opens the media again.
    gst_element_set_state(playbin_, GST_STATE_READY);
    StartFresh();
    ready_ = true;
    startAt_ = 0.0;
    state_ = kMediaStopped;
}

void GstMediaControl::OnEnded(bool failed, const std::string& reason) {
    state_ = kMediaStopped;
    if (failed) {
        // Nothing may go on "playing" silently: close the media.
        end_ = End::Failed;
        gst_element_set_state(playbin_, GST_STATE_READY);
        ready_ = true;
        if (log_) {
            log_->OutputDebugString("Mixora: cannot play \"" + path_ + "\": " + reason);
        }
    } else if (autoRewind_) {
        gst_element_set_state(playbin_, GST_STATE_READY);
        ready_ = true;
        startAt_ = 0.0;
    } else {
        end_ = End::Finished;
        gst_element_set_state(playbin_, GST_STATE_PAUSED);
    }
    // Last: the window may destroy this control while it handles the event.
    host_.DeliverMessage(WM_MEDIA_EVENT,
                         MAKEWPARAM(static_cast<std::uint16_t>(id_), kMediaEventEndOfStream), 0);
}

void GstMediaControl::OnFrame(GstSample* sample) {
    if (picture_) {
        gst_sample_unref(picture_);
    }
    picture_ = sample;
    if (visible_) {
        ShowPicture();
    }
}

void GstMediaControl::SetPictureSize() {
    const int w = std::max(1, rect_.right - rect_.left);
    const int h = std::max(1, rect_.bottom - rect_.top);
    // Square pixels at the rectangle's size: the scaler keeps the aspect and
    // fills the rest with black bars.
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width",
                                        G_TYPE_INT, w, "height", G_TYPE_INT, h,
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    g_object_set(pictureSize_, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

void GstMediaControl::ShowPicture() {
    GstVideoInfo info;
    if (!picture_ || !gst_video_info_from_caps(&info, gst_sample_get_caps(picture_))) {
        return;
    }
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(picture_), GST_MAP_READ)) {
        return;
    }
    const int w = GST_VIDEO_FRAME_WIDTH(&frame);
    const int h = GST_VIDEO_FRAME_HEIGHT(&frame);
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    // BGRx in memory is 0xxxRRGGBB as a little-endian word, the window's
    // format; only the row padding may need to go.
    std::vector<std::uint32_t> packed;
    const std::uint32_t* pixels = reinterpret_cast<const std::uint32_t*>(data);
    if (stride != w * 4) {
        packed.resize(static_cast<std::size_t>(w) * h);
        for (int y = 0; y < h; ++y) {
            std::copy_n(reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride), w,
                        packed.data() + std::size_t(y) * w);
        }
        pixels = packed.data();
    }
    host_.SetMediaPicture(rect_, pixels, w, h);
    pictureShown_ = true;
    gst_video_frame_unmap(&frame);
}

void GstMediaControl::HidePicture() {
    if (pictureShown_) {
        pictureShown_ = false;
        host_.SetMediaPicture(rect_, nullptr, 0, 0);
    }
}

void GstMediaControl::ShowWindow(bool visible) {
    visible_ = visible;
    if (visible) {
        ShowPicture();
    } else {
        HidePicture();
    }
}

void GstMediaControl::MoveWindow(const RECT& rect) {
    if (rect == rect_) {
        return;
    }
    HidePicture();
    rect_ = rect;
    SetPictureSize();
    if (visible_) {
        ShowPicture(); // stretched until frames of the new size arrive
    }
}

} // namespace mixora
