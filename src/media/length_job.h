#pragma once
// Adding many files: their lengths are measured by a few worker threads at
// once while the UI thread appends the results as their turn comes, in the
// order the files were given, so the list ends up exactly as adding them one
// by one would leave it.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "media/playback_window.h"

namespace mixora {

class CPlaybackEngine;

class CLengthJob {
public:
    // One path to add: its length already known (a CD track, measured on the
    // UI thread) or to be measured with the given probe id.
    struct Item {
        std::string path;
        std::optional<double> length;
        int probeId = 0;
    };

    CLengthJob(CPlaybackEngine& engine, CPlaybackWindow& window, std::vector<Item> items,
               std::function<void(CPlaybackWindow&)> then, unsigned threads,
               std::weak_ptr<int> engineAlive);
    ~CLengthJob();
    CLengthJob(const CLengthJob&) = delete;
    CLengthJob& operator=(const CLengthJob&) = delete;

    // UI thread: appends every measured path whose turn has come; true when
    // all are appended.
    bool AppendReady();
    // UI thread: waits for every measurement, then appends the rest.
    void Finish();
    CPlaybackWindow& Window() { return window_; }
    std::function<void(CPlaybackWindow&)> TakeContinuation() { return std::move(then_); }

private:
    void Work();
    void PostAppend();

    CPlaybackEngine& engine_;
    CPlaybackWindow& window_;
    std::vector<Item> items_;
    std::function<void(CPlaybackWindow&)> then_;
    std::weak_ptr<int> engineAlive_;

    std::mutex mutex_;
    std::condition_variable measured_;
    std::vector<char> done_; // guarded by mutex_
    std::size_t appended_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> appendPosted_{false};
    std::vector<std::thread> workers_;
};

} // namespace mixora
