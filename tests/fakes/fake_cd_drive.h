#pragma once
// A CD drive with a door, a disc with a table of contents, and a player
// whose position moves with a fake clock; plus a recorder of the requests a
// device receives. Together with the real "cdaudio" device they stand in
// for a drive with a disc in it.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/cd_drive.h"
#include "platform/mci.h"
#include "platform/media_host.h"
#include "platform/messages.h"

namespace mixora {

// A table of contents from track lengths in seconds (2-second gaps are not
// modelled: each track starts where the one before ended).
inline CdToc MakeToc(const std::vector<std::pair<double, bool>>& secondsAndData,
                     std::uint32_t firstStart = 0) {
    CdToc toc;
    std::uint32_t at = firstStart;
    for (auto [seconds, data] : secondsAndData) {
        toc.tracks.push_back({at, data});
        at += static_cast<std::uint32_t>(seconds * 75 + 0.5);
    }
    toc.leadOut = at;
    return toc;
}

struct FakeCdDrive final : ICdDrive {
    CdTray tray = CdTray::Disc;
    CdToc toc;
    int alive = 0;

    struct Session final : ICdDriveSession {
        FakeCdDrive& d;
        std::string device = "/dev/fake-cd";
        explicit Session(FakeCdDrive& drive) : d(drive) { ++d.alive; }
        ~Session() override { --d.alive; }
        CdTray Status() override { return d.tray; }
        bool ReadToc(CdToc* out) override {
            if (d.tray != CdTray::Disc) {
                return false;
            }
            *out = d.toc;
            return true;
        }
        const std::string& Device() const override { return device; }
    };

    std::unique_ptr<ICdDriveSession> Open() override { return std::make_unique<Session>(*this); }
};

struct FakeClock {
    std::uint64_t ms = 0;
};

// Plays by the clock: the position is the start frame plus the time since
// Play, 75 frames a second; Advance past the end runs the end handler (as a
// task on the UI thread, as a real sound would).
struct FakeCdOutput final : ICdAudioOutput {
    FakeClock& clock;
    IMediaHost& host;
    std::uint32_t from = 0, to = 0, pausedAt = 0;
    std::uint64_t startedMs = 0;
    bool playing = false;
    std::function<void(bool)> onEnd;

    FakeCdOutput(FakeClock& c, IMediaHost& h) : clock(c), host(h) {}

    bool Play(const std::string&, std::uint32_t f, std::uint32_t t,
              std::function<void(bool)> end) override {
        from = f;
        to = t;
        startedMs = clock.ms;
        playing = true;
        onEnd = std::move(end);
        return true;
    }
    void Pause() override {
        pausedAt = Position();
        playing = false;
    }
    void Stop() override {
        playing = false;
        onEnd = nullptr;
    }
    std::uint32_t Position() override {
        if (!playing) {
            return pausedAt;
        }
        const std::uint64_t f = from + (clock.ms - startedMs) * 75 / 1000;
        return static_cast<std::uint32_t>(f < to ? f : to);
    }
    void SetLevel(double, bool) override {}
    // Moves the clock; a play that reaches its end reports it.
    void Advance(std::uint64_t ms) {
        clock.ms += ms;
        if (playing && Position() >= to) {
            playing = false;
            pausedAt = to;
            if (auto end = std::exchange(onEnd, nullptr)) {
                host.PostTask([end] { end(false); });
            }
        }
    }
};

struct FakeCdOutputFactory final : ICdAudioOutputFactory {
    FakeCdOutput* made = nullptr;
    FakeClock& clock;
    IMediaHost& host;
    FakeCdOutputFactory(FakeClock& c, IMediaHost& h) : clock(c), host(h) {}
    std::unique_ptr<ICdAudioOutput> CreateCdOutput(std::string*) override {
        auto out = std::make_unique<FakeCdOutput>(clock, host);
        made = out.get();
        return out;
    }
};

// Every request a device gets, in the order sent: its name, and the item of
// a status request.
class RecordingMci final : public IMci {
public:
    explicit RecordingMci(IMci& device) : d_(device) {}
    std::vector<std::string> log;

    std::uint32_t SendCommand(std::uint32_t dev, std::uint32_t msg, std::uint32_t flags,
                              void* params) override {
        static const std::map<std::uint32_t, std::string> names{
            {MCI_OPEN, "open"}, {MCI_CLOSE, "close"}, {MCI_PLAY, "play"},     {MCI_PAUSE, "pause"},
            {MCI_STOP, "stop"}, {MCI_SET, "set"},     {MCI_STATUS, "status"}, {MCI_SEEK, "seek"}};
        const std::uint32_t r = d_.SendCommand(dev, msg, flags, params);
        std::string line = names.at(msg);
        if (msg == MCI_STATUS) {
            line += " " + std::to_string(static_cast<MCI_STATUS_PARMS*>(params)->dwItem);
        }
        log.push_back(line);
        return r;
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }

private:
    IMci& d_;
};

// The UI thread's queue; MM_MCINOTIFY goes to what the window does with it.
struct FakeCdHost final : IMediaHost {
    std::deque<std::function<void()>> tasks;
    std::function<void(WPARAM, LPARAM)> window;
    void PostTask(std::function<void()> t) override { tasks.push_back(std::move(t)); }
    LRESULT DeliverMessage(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == MM_MCINOTIFY && window) {
            window(w, l);
        }
        return 0;
    }
    void SetMediaPicture(const RECT&, const std::uint32_t*, int, int) override {}
    void RunAll() {
        while (!tasks.empty()) {
            auto t = std::move(tasks.front());
            tasks.pop_front();
            t();
        }
    }
};

// Anything that is not "cdaudio".
struct NoOtherMci final : IMci {
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return MCIERR_INVALID_DEVICE_ID;
    }
};

} // namespace mixora
