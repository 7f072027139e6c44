#pragma once
// Fakes for playback: a media control and its factory, file dialogs, a file
// store and the UI-thread task queue. The media control writes every request
// down as one line of text, so a test states exactly what was asked.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/file_store.h"
#include "platform/media_control.h"
#include "platform/media_host.h"

namespace mixora {

// What every fake media control reports to and reads from.
struct MediaWorld {
    std::mutex mutex;
    std::vector<std::string> log;                 // "1168 Play", "5 Create 0,0,0,0" ...
    std::map<std::string, double> durations;      // by path; missing: 0.0
    std::map<std::string, int> pictures;          // by path; missing: 0
    int playState = kMediaStopped;                // what GetPlayState answers
    double position = 0.0;                        // what GetCurrentPosition answers
    bool failVisible = false, failProbes = false; // Create returns null

    void Log(std::string line) {
        std::lock_guard lock(mutex);
        log.push_back(std::move(line));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(mutex);
        return std::exchange(log, {});
    }
};

class FakeMediaControl final : public IMediaControl {
public:
    FakeMediaControl(MediaWorld& world, int id) : w_(world), id_(id) {}
    ~FakeMediaControl() override { Say("Destroy"); }
    void PutFileName(const std::string& path) override {
        path_ = path;
        Say("FileName " + path);
    }
    double GetDuration() override { return Find(w_.durations, 0.0); }
    double GetCurrentPosition() override {
        std::lock_guard lock(w_.mutex);
        return w_.position;
    }
    void PutCurrentPosition(double s) override {
        Say("Position " + std::to_string(s));
        std::lock_guard lock(w_.mutex);
        w_.position = s;
    }
    int GetPlayState() override {
        std::lock_guard lock(w_.mutex);
        return w_.playState;
    }
    int GetHasPicture() override { return Find(w_.pictures, 0); }
    void PutVolume(int v) override { Say("Volume " + std::to_string(v)); }
    void PutMute(bool m) override { Say(std::string("Mute ") + (m ? "1" : "0")); }
    void PutSwitch(int id, bool v) override {
        Say("Switch " + std::to_string(id) + (v ? " 1" : " 0"));
    }
    void Play() override { Say("Play"); }
    void Pause() override { Say("Pause"); }
    void Stop() override { Say("Stop"); }
    void ShowWindow(bool v) override { Say(v ? "Show" : "Hide"); }
    void MoveWindow(const RECT& r) override { Say("Move " + Rect(r)); }

    static std::string Rect(const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," +
               std::to_string(r.right) + "," + std::to_string(r.bottom);
    }

private:
    template <class T> T Find(const std::map<std::string, T>& by, T missing) {
        std::lock_guard lock(w_.mutex);
        auto it = by.find(path_);
        return it == by.end() ? missing : it->second;
    }
    void Say(const std::string& what) {
        // Probes are quiet apart from their creation: the tests of the
        // engine read what the visible control was asked.
        if (id_ == 1168) {
            w_.Log("1168 " + what);
        }
    }
    MediaWorld& w_;
    int id_;
    std::string path_;
};

class FakeMediaFactory final : public IMediaControlFactory {
public:
    explicit FakeMediaFactory(MediaWorld& world) : w_(world) {}
    std::vector<int> probeIds; // guarded by the world's mutex
    std::unique_ptr<IMediaControl> Create(int id, const RECT& rect, bool visible,
                                          std::string* why) override {
        const bool probe = rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
        {
            std::lock_guard lock(w_.mutex);
            if (probe) {
                probeIds.push_back(id);
            } else {
                w_.log.push_back(std::to_string(id) + " Create " + FakeMediaControl::Rect(rect) +
                                 (visible ? " visible" : ""));
            }
            if (probe ? w_.failProbes : w_.failVisible) {
                if (why) {
                    *why = "no playbin";
                }
                return nullptr;
            }
        }
        return std::make_unique<FakeMediaControl>(w_, id);
    }

private:
    MediaWorld& w_;
};

// Answers the queued choices in turn (nullopt: cancelled) and keeps the
// requests.
class FakeFileDialog final : public IFileDialog {
public:
    std::deque<std::optional<std::vector<std::string>>> answers;
    std::vector<FileDialogRequest> requests;
    std::optional<std::vector<std::string>> Run(const FileDialogRequest& r) override {
        requests.push_back(r);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

// Files in memory; `failures` makes a path fail with the given error.
class FakeFileStore final : public IFileStore {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, FileError> failures;
    FileError ReadAll(const std::string& path, std::string& bytes) override {
        if (failures.count(path)) {
            return failures[path];
        }
        auto it = files.find(path);
        if (it == files.end()) {
            return FileError::NotFound;
        }
        bytes = it->second;
        return FileError::None;
    }
    FileError WriteAtomically(const std::string& path, std::string_view bytes) override {
        if (failures.count(path)) {
            return failures[path];
        }
        files[path] = std::string(bytes);
        return FileError::None;
    }
};

// The UI thread's queue: tasks wait until the test runs them.
class FakeTaskHost final : public IMediaHost {
public:
    void PostTask(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    LRESULT DeliverMessage(UINT, WPARAM, LPARAM) override { return 0; }
    void SetMediaPicture(const RECT&, const std::uint32_t*, int, int) override {}
    // Runs queued tasks (and the ones they post) until `done` holds.
    template <class Done> void RunUntil(Done done) {
        while (!done()) {
            std::function<void()> task;
            {
                std::lock_guard lock(mutex_);
                if (!tasks_.empty()) {
                    task = std::move(tasks_.front());
                    tasks_.pop_front();
                }
            }
            if (task) {
                task();
            } else {
                std::this_thread::yield();
            }
        }
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};

} // namespace mixora
