#include "platform/gst/wave_recording.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/mci.h"

namespace mixora {
namespace {

constexpr GstClockTime kStateTimeout = 3 * GST_SECOND;

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool MakeFolders(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    for (std::size_t at = 1; at <= dir.size(); ++at) {
        if (at == dir.size() || dir[at] == '/') {
            const std::string part = dir.substr(0, at);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
                return false;
            }
        }
    }
    return true;
}

GstElement* Make(const char* factory) {
    return gst_element_factory_make(factory, nullptr);
}

// A bin from a gst-launch description, or the named default element.
GstElement* FromDescription(const std::string& description, const char* fallback) {
    if (description.empty()) {
        return Make(fallback);
    }
    GError* error = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (error) {
        g_error_free(error);
    }
    return bin;
}

} // namespace

struct WaveRecording::Pipeline {
    GstElement* element = nullptr;
    explicit Pipeline(const char* name) : element(gst_pipeline_new(name)) {}
    ~Pipeline() {
        if (element) {
            gst_element_set_state(element, GST_STATE_NULL);
            gst_object_unref(element);
        }
    }
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;
    // Adds and links the chain; the pipeline owns every element after this,
    // even when a link fails.
    bool Chain(std::initializer_list<GstElement*> chain) {
        bool complete = true;
        GstElement* previous = nullptr;
        for (GstElement* e : chain) {
            if (!e) {
                complete = false;
                continue;
            }
            gst_bin_add(GST_BIN(element), e);
            if (previous && complete && !gst_element_link(previous, e)) {
                complete = false;
            }
            previous = e;
        }
        return complete;
    }
};

std::int64_t WaveRecording::RunningTime(GstElement* pipeline) {
    GstClock* clock = gst_element_get_clock(pipeline);
    if (!clock) {
        return -1;
    }
    const GstClockTime now = gst_clock_get_time(clock);
    const GstClockTime base = gst_element_get_base_time(pipeline);
    gst_object_unref(clock);
    return now >= base ? static_cast<std::int64_t>(now - base) : 0;
}

void WaveRecording::OnCaptured(const std::uint8_t* data, std::size_t size, std::int64_t pts) {
    std::vector<std::uint8_t> early;
    std::int64_t earlyPts = -1;
    {
        std::lock_guard<std::mutex> lock(flowMutex_);
        if (!flowing_) {
            flowing_ = true;
            flowChanged_.notify_all();
        }
        if (startNs_ < 0) {
            // The sound that woke Record up: kept until the start is known,
            // then cut at it like any other.
            early_.assign(data, data + size);
            earlyPts_ = pts;
            return;
        }
        early.swap(early_);
        earlyPts = earlyPts_;
    }
    if (!early.empty()) {
        Append(early.data(), early.size(), earlyPts);
    }
    Append(data, size, pts);
}

void WaveRecording::Append(const std::uint8_t* data, std::size_t size, std::int64_t pts) {
    const std::size_t frame = format_.BlockAlign();
    const std::int64_t frames = static_cast<std::int64_t>(size / frame);
    // The first frame at or after `t` in this buffer.
    auto frameAt = [&](std::int64_t t) {
        const std::int64_t k =
            t <= pts ? 0 : ((t - pts) * format_.rate + 999'999'999) / 1'000'000'000;
        return std::min(k, frames);
    };
    std::int64_t first = 0;
    std::int64_t last = frames;
    {
        std::lock_guard<std::mutex> lock(flowMutex_);
        if (startNs_ < 0 || reachedStop_ || writeFailed_.load()) {
            return; // before the start, after the stop
        }
        if (pts >= 0) {
            first = frameAt(startNs_);
            if (stopNs_ >= 0) {
                last = std::max(first, frameAt(stopNs_));
            }
        }
        if (stopNs_ >= 0 &&
            (pts < 0 || last < frames || pts + frames * 1'000'000'000 / format_.rate >= stopNs_)) {
            reachedStop_ = true;
            flowChanged_.notify_all();
        }
    }
    const std::uint64_t at = dataBytes_.load();
    const std::size_t want = static_cast<std::size_t>(last - first) * frame;
    const std::uint8_t* from = data + static_cast<std::size_t>(first) * frame;
    std::size_t done = 0;
    while (done < want) {
        const ssize_t n = ::pwrite(fd_, from + done, want - done, static_cast<off_t>(at + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    // Only whole frames count; a short write (full disk) ends the growth.
    dataBytes_.store(at + done / frame * frame);
    if (done < want) {
        writeFailed_.store(true);
    }
}

std::string WaveHeader(const WaveFormat& format, std::uint32_t dataBytes) {
    std::string h;
    h.reserve(44);
    h += "RIFF";
    PutLe(h, 36 + dataBytes, 4);
    h += "WAVEfmt ";
    PutLe(h, 16, 4);
    PutLe(h, 1, 2); // PCM
    PutLe(h, format.channels, 2);
    PutLe(h, format.rate, 4);
    PutLe(h, format.BytesPerSecond(), 4);
    PutLe(h, format.BlockAlign(), 2);
    PutLe(h, format.bits, 2);
    h += "data";
    PutLe(h, dataBytes, 4);
    return h;
}

WaveRecording::WaveRecording(WaveAudioOptions options) : options_(std::move(options)) {}

WaveRecording::~WaveRecording() {
    capture_.reset();
    playback_.reset();
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempPath_.c_str());
    }
}

bool WaveRecording::Create() {
    if (!gst_is_initialized()) {
        gst_init(nullptr, nullptr);
    }
    if (!MakeFolders(options_.tempFolder)) {
        return false;
    }
    std::string pattern = options_.tempFolder + "/recording-XXXXXX.pcm";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemps(name.data(), 4);
    if (fd_ < 0) {
        return false;
    }
    tempPath_ = name.data();
    return true;
}

std::uint64_t WaveRecording::BytesToMs(std::uint64_t bytes) const {
    const std::uint64_t frames = bytes / format_.BlockAlign();
    return frames * 1000 / format_.rate;
}

std::uint64_t WaveRecording::LengthMs() const {
    return BytesToMs(dataBytes_.load());
}

std::uint32_t WaveRecording::SetFormat(const WaveFormat& f) {
    // The format belongs to the whole recording: once sound is in it, it
    // stays, as it does on a real wave device.
    if (dataBytes_.load() != 0 || capture_) {
        return MCIERR_NONAPPLICABLE_FUNCTION;
    }
    if (f.rate < 8000 || f.rate > 48000 || (f.bits != 8 && f.bits != 16) ||
        (f.channels != 1 && f.channels != 2)) {
        return MCIERR_OUTOFRANGE;
    }
    format_ = f;
    return 0;
}

std::uint32_t WaveRecording::SeekToStart() {
    Stop();
    positionMs_ = 0;
    return 0;
}

std::uint32_t WaveRecording::SeekToEnd() {
    Stop();
    positionMs_ = LengthMs();
    return 0;
}

std::uint32_t WaveRecording::Record() {
    if (capture_) {
        return 0;
    }
    EndPlayback();
    auto pipeline = std::make_unique<Pipeline>("mixora-record");
    GstElement* source = FromDescription(options_.sourceDescription, "pulsesrc");
    if (source && options_.sourceDescription.empty()) {
        // Sound comes in pieces of 40 ms: few wake-ups, and the stop is cut
        // to the sample by the timestamps anyway.
        g_object_set(source, "latency-time", static_cast<gint64>(40000), nullptr);
    } else if (!source && options_.sourceDescription.empty()) {
        source = Make("autoaudiosrc");
    }
    GstElement* caps = Make("capsfilter");
    GstElement* sink = Make("fakesink");
    if (caps) {
        GstCaps* c = gst_caps_new_simple(
            "audio/x-raw", "format", G_TYPE_STRING, format_.bits == 8 ? "U8" : "S16LE", "rate",
            G_TYPE_INT, static_cast<int>(format_.rate), "channels", G_TYPE_INT,
            static_cast<int>(format_.channels), "layout", G_TYPE_STRING, "interleaved", nullptr);
        g_object_set(caps, "caps", c, nullptr);
        gst_caps_unref(c);
    }
    if (sink) {
        // The streaming thread appends every buffer to the file itself, so a
        // busy UI thread can never make it drop sound.
        g_object_set(sink, "sync", FALSE, "async", FALSE, "signal-handoffs", TRUE, nullptr);
        g_signal_connect(sink, "handoff",
                         G_CALLBACK(+[](GstElement*, GstBuffer* buffer, GstPad*, gpointer self) {
                             GstMapInfo map;
                             if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                                 const GstClockTime pts = GST_BUFFER_PTS(buffer);
                                 static_cast<WaveRecording*>(self)->OnCaptured(
                                     map.data, map.size,
                                     GST_CLOCK_TIME_IS_VALID(pts) ? static_cast<std::int64_t>(pts)
                                                                  : -1);
                                 gst_buffer_unmap(buffer, &map);
                             }
                         }),
                         this);
    }
    if (!pipeline->Chain({source, Make("audioconvert"), Make("audioresample"), caps, sink})) {
        return MCIERR_HARDWARE;
    }
    // Start and stop are moments of the wall clock; the source's sound is
    // timed on it too, whatever clock the sound server keeps.
    GstClock* wall = gst_system_clock_obtain();
    gst_pipeline_use_clock(GST_PIPELINE(pipeline->element), wall);
    gst_object_unref(wall);
    {
        std::lock_guard<std::mutex> lock(flowMutex_);
        flowing_ = false;
        early_.clear();
        startNs_ = -1;
        stopNs_ = -1;
        reachedStop_ = false;
    }
    if (gst_element_set_state(pipeline->element, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline->element, nullptr, nullptr, kStateTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
        return MCIERR_HARDWARE;
    }
    // A sound server can take most of a second to start a capture stream.
    // The recording begins when sound arrives, not before, so that its
    // length is the time it was recording and the digits count from there.
    std::unique_lock<std::mutex> lock(flowMutex_);
    if (!flowChanged_.wait_for(lock, std::chrono::seconds(3), [this] { return flowing_; })) {
        return MCIERR_HARDWARE; // a source that delivers nothing
    }
    // The first sound is stamped a little ahead of the clock (the server's
    // latency); recording starts when the clock reaches it, so that every
    // moment from here to the stop has its sound.
    const std::int64_t ahead = earlyPts_ - RunningTime(pipeline->element);
    if (ahead > 0 && ahead < 200'000'000) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::nanoseconds(ahead));
        lock.lock();
    }
    startNs_ = std::max<std::int64_t>(0, RunningTime(pipeline->element));
    lock.unlock();
    capture_ = std::move(pipeline);
    return 0;
}

void WaveRecording::FinishRecording() {
    if (!capture_) {
        return;
    }
    // The recording ends at this moment of the capture clock: wait for the
    // buffer that holds it (at most one buffer of the source away) and keep
    // what was captured before it, to the sample.
    std::unique_lock<std::mutex> lock(flowMutex_);
    stopNs_ = RunningTime(capture_->element);
    if (stopNs_ < 0) {
        reachedStop_ = true;
    }
    flowChanged_.wait_for(lock, std::chrono::seconds(1), [this] { return reachedStop_; });
    reachedStop_ = true;
    lock.unlock();
    capture_.reset();
    positionMs_ = LengthMs();
}

std::uint32_t WaveRecording::Play(EndOfPlay onEnd) {
    FinishRecording();
    EndPlayback();
    auto pipeline = std::make_unique<Pipeline>("mixora-recording-play");
    GstElement* source = Make("filesrc");
    GstElement* parse = Make("rawaudioparse");
    GstElement* sink = FromDescription(options_.sinkDescription, "autoaudiosink");
    if (source) {
        g_object_set(source, "location", tempPath_.c_str(), nullptr);
    }
    if (parse) {
        gst_util_set_object_arg(G_OBJECT(parse), "pcm-format", format_.bits == 8 ? "u8" : "s16le");
        g_object_set(parse, "sample-rate", static_cast<int>(format_.rate), "num-channels",
                     static_cast<int>(format_.channels), nullptr);
    }
    if (!pipeline->Chain({source, parse, Make("audioconvert"), Make("audioresample"), sink})) {
        return MCIERR_HARDWARE;
    }
    // No streaming thread of an older playback is left to read it.
    playEnded_.store(false);
    endOfPlay_ = std::move(onEnd);
    GstBus* bus = gst_element_get_bus(pipeline->element);
    gst_bus_set_sync_handler(
        bus,
        +[](GstBus*, GstMessage* msg, gpointer self) -> GstBusSyncReply {
            auto* r = static_cast<WaveRecording*>(self);
            if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS ||
                GST_MESSAGE_TYPE(msg) == GST_MESSAGE_ERROR) {
                const bool success = GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
                if (!r->playEnded_.exchange(true) && success && r->endOfPlay_) {
                    r->endOfPlay_();
                }
            }
            gst_message_unref(msg);
            return GST_BUS_DROP;
        },
        this, nullptr);
    gst_object_unref(bus);

    const std::uint64_t from = positionMs_ < LengthMs() ? positionMs_ : LengthMs();
    if (gst_element_set_state(pipeline->element, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE ||
        gst_element_get_state(pipeline->element, nullptr, nullptr, kStateTimeout) ==
            GST_STATE_CHANGE_FAILURE) {
        return MCIERR_HARDWARE;
    }
    if (from > 0) {
        gst_element_seek_simple(
            pipeline->element, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
            static_cast<gint64>(from * GST_MSECOND));
    }
    if (gst_element_set_state(pipeline->element, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        return MCIERR_HARDWARE;
    }
    positionMs_ = from;
    playback_ = std::move(pipeline);
    return 0;
}

void WaveRecording::EndPlayback() {
    if (!playback_) {
        return;
    }
    positionMs_ = PositionMs();
    playback_.reset();
    endOfPlay_ = nullptr;
}

std::uint64_t WaveRecording::PositionMs() {
    if (capture_) {
        return LengthMs();
    }
    if (playback_) {
        // After the end the position stays at the end until a stop.
        if (playEnded_.load()) {
            return LengthMs();
        }
        gint64 ns = 0;
        if (gst_element_query_position(playback_->element, GST_FORMAT_TIME, &ns) && ns >= 0) {
            const std::uint64_t ms = static_cast<std::uint64_t>(ns) / GST_MSECOND;
            return ms < LengthMs() ? ms : LengthMs();
        }
    }
    return positionMs_;
}

std::uint32_t WaveRecording::Stop() {
    FinishRecording();
    EndPlayback();
    return 0;
}

std::uint32_t WaveRecording::Save(const std::string& path) {
    FinishRecording();
    const std::uint64_t bytes = dataBytes_.load();
    if (path.empty() || bytes > 0xFFFFFFFFull - 36) {
        return MCIERR_FILE_NOT_SAVED;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string pattern = folder + (slash == std::string::npos ? "/" : "") + ".mixora-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int out = ::mkstemp(name.data());
    if (out < 0) {
        return MCIERR_FILE_NOT_SAVED;
    }
    bool ok = ::fchmod(out, 0644) == 0;
    const std::string header = WaveHeader(format_, static_cast<std::uint32_t>(bytes));
    ok = ok && WriteAll(out, header.data(), header.size());
    std::vector<char> chunk(1 << 20);
    for (std::uint64_t at = 0; ok && at < bytes;) {
        const std::size_t want =
            static_cast<std::size_t>(bytes - at < chunk.size() ? bytes - at : chunk.size());
        const ssize_t n = ::pread(fd_, chunk.data(), want, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ok = n > 0 && WriteAll(out, chunk.data(), static_cast<std::size_t>(n));
        at += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    }
    ok = ok && ::fsync(out) == 0;
    ok = ::close(out) == 0 && ok;
    ok = ok && ::rename(name.data(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(name.data());
        return MCIERR_FILE_NOT_SAVED;
    }
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

} // namespace mixora
