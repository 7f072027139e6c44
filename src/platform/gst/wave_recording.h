#pragma once
// One untitled recording of the "waveaudio" device: raw PCM in a temporary
// file, filled by a GStreamer capture pipeline and played back by another.
// All calls are on one thread (the UI thread); the capture's streaming
// thread only appends to the file.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct _GstElement;

namespace mixora {

struct WaveFormat {
    std::uint32_t rate = 11025;
    std::uint16_t bits = 8;
    std::uint16_t channels = 1;
    std::uint32_t BlockAlign() const { return bits / 8u * channels; }
    std::uint32_t BytesPerSecond() const { return BlockAlign() * rate; }
};

// Where sound comes from and goes to. Empty descriptions take the desktop's
// default source (pulsesrc, else autoaudiosrc) and sink (autoaudiosink).
// A description is a gst-launch bin, e.g. "audiotestsrc freq=1000 is-live=true".
struct WaveAudioOptions {
    std::string tempFolder;
    std::string sourceDescription;
    std::string sinkDescription;
};

class WaveRecording {
public:
    // Called from a streaming thread when playback reaches its end.
    using EndOfPlay = std::function<void()>;

    explicit WaveRecording(WaveAudioOptions options);
    ~WaveRecording();
    WaveRecording(const WaveRecording&) = delete;
    WaveRecording& operator=(const WaveRecording&) = delete;

    // Creates the temporary file; false when it cannot.
    bool Create();

    // Each returns 0 or an MCIERR_ code.
    std::uint32_t SetFormat(const WaveFormat& format);
    std::uint32_t SeekToStart();
    std::uint32_t SeekToEnd();
    // Records from the end of what is there until Stop.
    std::uint32_t Record();
    // Plays from the current position; `onEnd` (may be empty) is called
    // once when the end is reached.
    std::uint32_t Play(EndOfPlay onEnd);
    std::uint32_t Stop();
    std::uint32_t Save(const std::string& path);

    std::uint64_t LengthMs() const;
    std::uint64_t PositionMs();
    const WaveFormat& Format() const { return format_; }
    const std::string& TempPath() const { return tempPath_; }

private:
    struct Pipeline;
    // The capture thread's buffer: data of whole frames, its time (ns on
    // the capture clock, -1 unknown).
    void OnCaptured(const std::uint8_t* data, std::size_t size, std::int64_t pts);
    // Appends the frames of a buffer that lie between start and stop.
    void Append(const std::uint8_t* data, std::size_t size, std::int64_t pts);
    static std::int64_t RunningTime(::_GstElement* pipeline);
    void FinishRecording();
    void EndPlayback();
    std::uint64_t BytesToMs(std::uint64_t bytes) const;

    WaveAudioOptions options_;
    EndOfPlay endOfPlay_;
    WaveFormat format_;
    std::string tempPath_;
    int fd_ = -1;
    // Written by the capture thread, read by the UI thread.
    std::atomic<std::uint64_t> dataBytes_{0};
    std::atomic<bool> writeFailed_{false};
    std::atomic<bool> playEnded_{false};
    // Where the capture is, shared with the capture thread: sound has come,
    // the recording's start and stop on the capture clock (ns, -1 not yet),
    // and the stop's buffer has been seen.
    std::mutex flowMutex_;
    std::condition_variable flowChanged_;
    bool flowing_ = false;
    std::int64_t startNs_ = -1;
    std::int64_t stopNs_ = -1;
    bool reachedStop_ = false;
    std::vector<std::uint8_t> early_;
    std::int64_t earlyPts_ = -1;
    std::uint64_t positionMs_ = 0;
    std::unique_ptr<Pipeline> capture_;
    std::unique_ptr<Pipeline> playback_;
};

// The RIFF WAVE header of `dataBytes` bytes of PCM in `format`.
std::string WaveHeader(const WaveFormat& format, std::uint32_t dataBytes);

} // namespace mixora
