#include "platform/gst/cd_sound.h"

#include <gst/audio/gstaudiobasesink.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <utility>

#include "platform/gst/effect_element.h"
#include "platform/gst/gst_runtime.h"

namespace mixora {
namespace {

// The sink's ring buffer, as for files: big enough that the sink wakes only
// twenty times a second, small enough that a turned knob is heard at once.
constexpr gint64 kSinkBufferUs = 100000;
constexpr gint64 kSinkSegmentUs = 50000;

// How long the first play of a stopped disc may take to open the drive and
// read the first sectors; a disc spins up in a second or two.
constexpr GstClockTime kStartWait = 5 * GST_SECOND;

// A play from where a paused sound stands goes on without a seek. The
// window asks the position just before it pauses, so its idea of that
// place may lag the sound's by a frame or so.
constexpr std::uint32_t kResumeSlack = 2;

void TuneSink(GstElement* element) {
    if (GST_IS_AUDIO_BASE_SINK(element)) {
        g_object_set(element, "buffer-time", kSinkBufferUs, "latency-time", kSinkSegmentUs,
                     nullptr);
    }
}

void TuneAddedSink(GstBin*, GstBin*, GstElement* element, gpointer) {
    TuneSink(element);
}

// The element that reads the disc: cdparanoiasrc, else any element that
// answers the cdda: scheme. Empty when there is none.
std::string DiscReader() {
    if (GstElementFactory* f = gst_element_factory_find("cdparanoiasrc")) {
        gst_object_unref(f);
        return "cdparanoiasrc";
    }
    std::string name;
    if (GstElement* e = gst_element_make_from_uri(GST_URI_SRC, "cdda://1", nullptr, nullptr)) {
        if (GstElementFactory* f = gst_element_get_factory(e)) {
            name = GST_OBJECT_NAME(f);
        }
        gst_object_unref(gst_object_ref_sink(e));
    }
    return name;
}

GstElement* Launch(const std::string& description, std::string* why) {
    GError* error = nullptr;
    GstElement* e =
        gst_parse_launch_full(description.c_str(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &error);
    if ((!e || error) && why) {
        *why = "cannot make \"" + description + "\": " + (error ? error->message : "unknown");
    }
    if (e && error) {
        gst_object_unref(gst_object_ref_sink(e));
        e = nullptr;
    }
    g_clear_error(&error);
    return e;
}

std::uint64_t FrameToNs(std::uint32_t frames) {
    return gst_util_uint64_scale_ceil(frames, GST_SECOND, kCdFramesPerSecond);
}

class GstCdOutput;

// Between the output (UI thread) and the streaming threads. The output owns
// it; tasks posted to the UI thread hold it weakly and end nothing once the
// output has gone or has been told to play something else since.
struct Shared : std::enable_shared_from_this<Shared> {
    explicit Shared(IMediaHost& h) : host(h) {}
    IMediaHost& host;
    GstCdOutput* owner = nullptr;    // UI thread only; null once the output is gone
    std::atomic<unsigned> serial{0}; // changes with every play and stop

    void PostEnd(bool failed, std::string reason);

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
        return GST_BUS_DROP; // nothing else reads the bus
    }
};

class GstCdOutput final : public ICdAudioOutput {
public:
    GstCdOutput(IMediaHost& host, const CdSoundOptions& options, std::string reader)
        : options_(options), reader_(std::move(reader)), shared_(std::make_shared<Shared>(host)) {
        shared_->owner = this;
    }

    ~GstCdOutput() override {
        shared_->owner = nullptr;
        Teardown();
    }

    bool Play(const std::string& device, std::uint32_t from, std::uint32_t to,
              std::function<void(bool)> onEnd) override {
        if (pipeline_ && paused_ && device == device_ && to == to_ &&
            std::max(from, lastFrame_) - std::min(from, lastFrame_) <= kResumeSlack) {
            // The pipeline holds the sound where it was paused: go on.
            ++shared_->serial;
            onEnd_ = std::move(onEnd);
            paused_ = false;
            gst_element_set_state(pipeline_, GST_STATE_PLAYING);
            return true;
        }
        if (pipeline_ && device != device_) {
            Teardown();
        }
        if (!pipeline_ && !Build(device)) {
            return false;
        }
        if (stopped_ && !Start()) {
            return false;
        }
        const std::uint64_t start = FrameToNs(from > origin_ ? from - origin_ : 0);
        const std::uint64_t stop = FrameToNs(to > origin_ ? to - origin_ : 0);
        if (!gst_element_seek(
                pipeline_, 1.0, GST_FORMAT_TIME,
                static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                GST_SEEK_TYPE_SET, static_cast<gint64>(start), GST_SEEK_TYPE_SET,
                static_cast<gint64>(stop))) {
            Log("cannot go to frame " + std::to_string(from) + " of " + device);
            return false;
        }
        // Only now: an end reported before the flush belongs to the play
        // this one replaces.
        ++shared_->serial;
        onEnd_ = std::move(onEnd);
        to_ = to;
        lastFrame_ = from;
        paused_ = false;
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        return true;
    }

    void Pause() override {
        if (!pipeline_ || stopped_ || paused_) {
            return;
        }
        Position();
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        paused_ = true;
    }

    void Stop() override {
        ++shared_->serial;
        onEnd_ = nullptr;
        if (pipeline_ && !stopped_) {
            Position();
            // READY lets go of the drive and of the sound device.
            gst_element_set_state(pipeline_, GST_STATE_READY);
        }
        stopped_ = true;
        paused_ = false;
    }

    std::uint32_t Position() override {
        if (!pipeline_ || stopped_) {
            return lastFrame_;
        }
        // While a seek or a pause is under way the sink has no answer yet;
        // the place asked for is the one to tell.
        if (gst_element_get_state(pipeline_, nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC) {
            return lastFrame_;
        }
        gint64 ns = 0;
        if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0) {
            const std::uint64_t frame =
                origin_ +
                gst_util_uint64_scale(static_cast<guint64>(ns), kCdFramesPerSecond, GST_SECOND);
            lastFrame_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(frame, to_));
        }
        return lastFrame_;
    }

    void SetLevel(double gain, bool mute) override {
        gain_ = gain;
        mute_ = mute;
        if (volume_) {
            g_object_set(volume_, "volume", gain_, "mute", mute_ ? TRUE : FALSE, nullptr);
        }
    }

    // UI thread, from a posted task.
    void OnEnded(bool failed, const std::string& reason, bool current) {
        if (failed) {
            Log(reason);
        }
        if (!current) {
            return;
        }
        if (failed) {
            // Nothing may go on "playing" silently; the next play starts afresh.
            Teardown();
        }
        lastFrame_ = failed ? lastFrame_ : to_;
        // Last: the window may start the next track while it handles this.
        if (auto end = std::exchange(onEnd_, nullptr)) {
            end(failed);
        }
    }

private:
    bool Build(const std::string& device) {
        const bool disc = options_.source.empty();
        const std::string source = disc ? reader_ + " name=disc mode=continuous" : options_.source;
        const std::string sink =
            options_.audioSink.empty() ? std::string("autoaudiosink") : options_.audioSink;
        std::string why;
        pipeline_ =
            Launch(source + " ! audioconvert ! audioresample ! mixoraeffects name=effects !" +
                       " volume name=gain ! " + sink,
                   &why);
        if (!pipeline_) {
            Log(why);
            return false;
        }
        if (!GST_IS_PIPELINE(pipeline_)) {
            Log("\"" + source + "\" is not a source of sound");
            gst_object_unref(gst_object_ref_sink(pipeline_));
            pipeline_ = nullptr;
            return false;
        }
        gst_object_ref_sink(pipeline_);
        if (disc) {
            if (GstElement* reader = gst_bin_get_by_name(GST_BIN(pipeline_), "disc")) {
                g_object_set(reader, "device", device.c_str(), nullptr);
                disc_ = reader;
            }
        }
        GstElement* effects = gst_bin_get_by_name(GST_BIN(pipeline_), "effects");
        g_object_set(effects, kEffectHubProperty, static_cast<gpointer>(options_.effects), nullptr);
        gst_object_unref(effects);
        volume_ = gst_bin_get_by_name(GST_BIN(pipeline_), "gain");
        SetLevel(gain_, mute_);
        g_signal_connect(pipeline_, "deep-element-added", G_CALLBACK(TuneAddedSink), nullptr);
        GstIterator* all = gst_bin_iterate_recurse(GST_BIN(pipeline_));
        gst_iterator_foreach(
            all, [](const GValue* v, gpointer) { TuneSink(GST_ELEMENT(g_value_get_object(v))); },
            nullptr);
        gst_iterator_free(all);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, &Shared::OnBusMessage, shared_.get(), nullptr);
        gst_object_unref(bus);
        device_ = device;
        stopped_ = true;
        return true;
    }

    // From stopped to paused at the start of the disc, ready to seek.
    bool Start() {
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        const GstStateChangeReturn r =
            gst_element_get_state(pipeline_, nullptr, nullptr, kStartWait);
        if (r != GST_STATE_CHANGE_SUCCESS && r != GST_STATE_CHANGE_NO_PREROLL) {
            Log(r == GST_STATE_CHANGE_ASYNC ? "the disc in " + device_ + " did not answer in time"
                                            : "cannot read the disc in " + device_);
            gst_element_set_state(pipeline_, GST_STATE_READY);
            ++shared_->serial; // its failure has been told here
            return false;
        }
        // The reader's time 0 is the sector its conversion names (the
        // start of the disc); a stand-in has no sectors and starts at 0.
        origin_ = 0;
        const GstFormat sector = gst_format_get_by_nick("sector");
        gint64 at = 0;
        if (disc_ && sector != GST_FORMAT_UNDEFINED &&
            gst_element_query_convert(disc_, GST_FORMAT_TIME, 0, sector, &at) && at > 0) {
            origin_ = static_cast<std::uint32_t>(at);
        }
        stopped_ = false;
        paused_ = false;
        return true;
    }

    void Teardown() {
        if (!pipeline_) {
            return;
        }
        // Stopping joins the streaming threads: nothing calls into shared_
        // afterwards.
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        for (GstElement** e : {&disc_, &volume_, &pipeline_}) {
            if (*e) {
                gst_object_unref(*e);
                *e = nullptr;
            }
        }
        stopped_ = true;
        paused_ = false;
    }

    void Log(const std::string& what) {
        if (options_.log) {
            options_.log->OutputDebugString("Mixora: audio CD: " + what);
        }
    }

    CdSoundOptions options_;
    std::string reader_; // the element that reads the disc
    std::shared_ptr<Shared> shared_;
    GstElement* pipeline_ = nullptr;
    GstElement* disc_ = nullptr;   // the reader, when the drive is read
    GstElement* volume_ = nullptr; // the CD line's volume and mute
    std::string device_;
    bool stopped_ = true; // READY: nothing open
    bool paused_ = false;
    std::uint32_t origin_ = 0; // the frame at the reader's time 0
    std::uint32_t to_ = 0;
    std::uint32_t lastFrame_ = 0; // the last place told
    double gain_ = 1.0;
    bool mute_ = false;
    std::function<void(bool)> onEnd_;
};

void Shared::PostEnd(bool failed, std::string reason) {
    const unsigned at = serial.load();
    host.PostTask([weak = weak_from_this(), at, failed, reason = std::move(reason)] {
        auto self = weak.lock();
        if (self && self->owner) {
            self->owner->OnEnded(failed, reason, self->serial.load() == at);
        }
    });
}

} // namespace

GstCdSoundFactory::GstCdSoundFactory(IMediaHost& host, CdSoundOptions options)
    : host_(host), options_(std::move(options)) {
    if (options_.source.empty()) {
        if (const char* source = std::getenv("MIXORA_CD_SOURCE")) {
            options_.source = source;
        }
    }
    if (options_.audioSink.empty()) {
        if (const char* sink = std::getenv("MIXORA_AUDIO_SINK")) {
            options_.audioSink = sink;
        }
    }
}

std::unique_ptr<ICdAudioOutput> GstCdSoundFactory::CreateCdOutput(std::string* why) {
    if (!EnsureGstreamer(why)) {
        return nullptr;
    }
    std::string reader;
    if (options_.source.empty()) {
        reader = DiscReader();
        if (reader.empty()) {
            if (why) {
                *why = "audio CDs cannot be played: GStreamer has no element that reads them "
                       "(cdparanoiasrc, in gstreamer1.0-plugins-base)";
            }
            return nullptr;
        }
    } else if (GstElement* trial = Launch(options_.source + " ! fakesink", why)) {
        gst_object_unref(gst_object_ref_sink(trial));
    } else {
        return nullptr;
    }
    return std::make_unique<GstCdOutput>(host_, options_, std::move(reader));
}

} // namespace mixora
