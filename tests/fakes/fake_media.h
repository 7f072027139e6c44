#pragma once
// Fakes for playback: a media control and its factory, file dialogs and the
// UI-thread task queue. The visible media control writes its
// requests down as lines of text, so a test states what was asked.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_dialog.h"
#include "platform/media_control.h"
#include "platform/media_host.h"

namespace mixora {

// What every fake media control reports to and reads from. Only the UI
// thread writes; the measuring threads only read the durations.
struct MediaWorld {
    std::vector<std::string> log;            // "1168 Play", "1168 Create 0,0,1,1" ...
    std::map<std::string, double> durations; // by path; missing: 0.0
    int playState = kMediaStopped;
    double position = 0.0;
    bool failVisible = false; // the visible control cannot be made

    std::vector<std::string> Take() { return std::exchange(log, {}); }
};

class FakeMediaControl final : public IMediaControl {
public:
    FakeMediaControl(MediaWorld& world, int id) : w_(world), id_(id) {}
    void PutFileName(const std::string& path) override {
        path_ = path;
        Say("FileName " + path);
    }
    double GetDuration() override {
        auto it = w_.durations.find(path_);
        return it == w_.durations.end() ? 0.0 : it->second;
    }
    double GetCurrentPosition() override { return w_.position; }
    void PutCurrentPosition(double s) override { Say("Position " + std::to_string(s)); }
    int GetPlayState() override { return w_.playState; }
    int GetHasPicture() override { return 0; }
    void PutVolume(int v) override { Say("Volume " + std::to_string(v)); }
    void PutMute(bool m) override { Say(std::string("Mute ") + (m ? "1" : "0")); }
    void PutSwitch(int, bool) override {}
    void Play() override { Say("Play"); }
    void Pause() override { Say("Pause"); }
    void Stop() override { Say("Stop"); }
    void ShowWindow(bool) override {}
    void MoveWindow(const RECT&) override {}

private:
    // Probes measuring lengths stay quiet: the tests read what the visible
    // control was asked.
    void Say(const std::string& what) {
        if (id_ == 1168) {
            w_.log.push_back("1168 " + what);
        }
    }
    MediaWorld& w_;
    int id_;
    std::string path_;
};

class FakeMediaFactory final : public IMediaControlFactory {
public:
    explicit FakeMediaFactory(MediaWorld& world) : w_(world) {}
    std::unique_ptr<IMediaControl> Create(int id, const RECT& r, bool, std::string* why) override {
        if (id == 1168) {
            w_.log.push_back("1168 Create " + std::to_string(r.left) + "," + std::to_string(r.top) +
                             "," + std::to_string(r.right) + "," + std::to_string(r.bottom));
            if (w_.failVisible) {
                *why = "no playbin";
                return nullptr;
            }
        }
        return std::make_unique<FakeMediaControl>(w_, id);
    }

private:
    MediaWorld& w_;
};

// Answers the queued choices in turn; with none left, the dialog is cancelled.
class FakeFileDialog final : public IFileDialog {
public:
    std::deque<std::vector<std::string>> answers;
    std::optional<std::vector<std::string>> Run(const FileDialogRequest&) override {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
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
