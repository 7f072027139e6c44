// Adds every file of a folder to the playlist as "Add file to playlist"
// does, through the engine and the program's media control factory, and
// prints how long it took and the longest time the UI thread was held by
// one piece of the work (the window answers between pieces).
//   mixora_add_files_bench FOLDER
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>

#include "device/mixer_control.h"
#include "media/playback_engine.h"
#include "platform/file_dialog.h"
#include "platform/file_store.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/mci.h"
#include "platform/message_box.h"
#include "platform/mixer.h"

using namespace mixora;
using Clock = std::chrono::steady_clock;

namespace {

// The UI thread's queue, drained by main().
struct QueueHost final : IMediaHost {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> tasks;
    void PostTask(std::function<void()> task) override {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        posted.notify_one();
    }
    LRESULT DeliverMessage(UINT, WPARAM, LPARAM) override { return 0; }
    void SetMediaPicture(const RECT&, const std::uint32_t*, int, int) override {}
};

struct Chosen final : IFileDialog {
    std::vector<std::string> files;
    std::optional<std::vector<std::string>> Run(const FileDialogRequest&) override { return files; }
};
struct NoFiles final : IFileStore {
    FileError ReadAll(const std::string&, std::string&) override { return FileError::Other; }
    FileError WriteAtomically(const std::string&, std::string_view) override {
        return FileError::Other;
    }
};
struct NoMessages final : IMessageBox {
    int MessageBox(const std::string&, const std::string&, unsigned) override { return IDOK; }
};
struct NoMci final : IMci {
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return MCIERR_INVALID_DEVICE_ID;
    }
};
struct NoMixer final : IMixer {
    std::uint32_t GetNumDevs() override { return 0; }
    MMRESULT GetDevCaps(std::uint32_t, MixerCaps*) override { return 1; }
    MMRESULT Open(std::uint32_t, std::uint32_t, HMIXER*) override { return 1; }
    MMRESULT Close(HMIXER) override { return 0; }
    MMRESULT GetLineInfo(HMIXER, MixerLine*, std::uint32_t) override { return 1; }
    MMRESULT GetLineControls(HMIXER, std::uint32_t, std::vector<MixerControl>*) override {
        return 1;
    }
    MMRESULT GetControlDetails(HMIXER, MixerControlDetails*) override { return 1; }
    MMRESULT SetControlDetails(HMIXER, const MixerControlDetails&) override { return 1; }
};

struct Window final : CPlaybackWindow {
    int GetButtonState(int) const override { return 0; }
    void SetButtonState(int, int) override {}
    double GetSliderFraction(int) const override { return 0.0; }
    void SetSliderFraction(int, double) override {}
    void EraseTitle() override {}
    void RepaintPlaylist() override {}
    void AddBusy(int) override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    Chosen dialog;
    for (const auto& e : std::filesystem::directory_iterator(argv[1])) {
        dialog.files.push_back(e.path().string());
    }
    std::sort(dialog.files.begin(), dialog.files.end());
    QueueHost host;
    GstMediaControlFactory factory(host);
    // Start the media engine first, as the program has by the time a person adds files.
    factory.Create(1, RECT{}, true);
    NoMci mci;
    NoMixer mixerDevice;
    CMixerControl mixer(mixerDevice);
    NoFiles files;
    NoMessages messages;
    CPlaybackEngine engine({.media = factory,
                            .mci = mci,
                            .mixer = mixer,
                            .dialogs = dialog,
                            .files = files,
                            .messages = messages,
                            .tasks = host});
    Window window;

    const auto start = Clock::now();
    engine.AddFilesToPlaylist(window);
    Clock::duration longest{};
    int pieces = 0;
    while (engine.IsAppending()) {
        std::function<void()> task;
        {
            std::unique_lock lock(host.mutex);
            host.posted.wait(lock, [&] { return !host.tasks.empty(); });
            task = std::move(host.tasks.front());
            host.tasks.pop_front();
        }
        const auto t0 = Clock::now();
        task();
        longest = std::max(longest, Clock::now() - t0);
        ++pieces;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::printf(
        "added %zu of %zu files in %.0f ms; UI held at most %.2f ms at a time (%d pieces)\n",
        window.m_playlist.size(), dialog.files.size(), ms,
        std::chrono::duration<double, std::milli>(longest).count(), pieces);
    return 0;
}
