#include "media/length_job.h"

#include <algorithm>

#include "media/playback_engine.h"
#include "platform/media_host.h"

namespace mixora {

CLengthJob::CLengthJob(CPlaybackEngine& engine, CPlaybackWindow& window, std::vector<Item> items,
                       std::function<void(CPlaybackWindow&)> then, unsigned threads,
                       std::weak_ptr<int> engineAlive)
    : engine_(engine), window_(window), items_(std::move(items)), then_(std::move(then)),
      engineAlive_(std::move(engineAlive)), done_(items_.size(), 0) {
    std::size_t toMeasure = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].length) {
            done_[i] = 1;
        } else {
            ++toMeasure;
        }
    }
    const std::size_t count = std::min<std::size_t>(threads, toMeasure);
    for (std::size_t i = 0; i < count; ++i) {
        workers_.emplace_back([this] { Work(); });
    }
    PostAppend();
}

CLengthJob::~CLengthJob() {
    stop_ = true;
    for (std::thread& t : workers_) {
        t.join();
    }
}

void CLengthJob::Work() {
    for (;;) {
        const std::size_t i = next_.fetch_add(1);
        if (i >= items_.size() || stop_) {
            return;
        }
        if (items_[i].length) {
            continue;
        }
        const double length = engine_.MeasureFile(items_[i].path, items_[i].probeId);
        {
            std::lock_guard lock(mutex_);
            items_[i].length = length;
            done_[i] = 1;
        }
        measured_.notify_all();
        PostAppend();
    }
}

// At most one append task waits in the queue at a time, so ten thousand
// files cost a handful of UI wake-ups, not ten thousand.
void CLengthJob::PostAppend() {
    if (appendPosted_.exchange(true)) {
        return;
    }
    engine_.s_.tasks.PostTask([alive = engineAlive_, engine = &engine_, job = this] {
        if (alive.expired() || engine->job_.get() != job) {
            return; // the engine or this job is gone
        }
        job->appendPosted_ = false;
        if (job->AppendReady()) {
            engine->JobFinished();
        }
    });
}

bool CLengthJob::AppendReady() {
    std::size_t ready;
    {
        std::lock_guard lock(mutex_);
        ready = appended_;
        while (ready < items_.size() && done_[ready]) {
            ++ready;
        }
    }
    if (ready > appended_) {
        for (; appended_ < ready; ++appended_) {
            const Item& item = items_[appended_];
            if (*item.length != 0.0) {
                window_.m_playlist.push_back({item.path, *item.length});
            }
        }
        window_.m_strProgress =
            "Adding files: " + std::to_string(ready) + " / " + std::to_string(items_.size());
        engine_.RefreshPlaylistView(window_);
    }
    return appended_ == items_.size();
}

void CLengthJob::Finish() {
    {
        std::unique_lock lock(mutex_);
        measured_.wait(lock, [this] {
            return std::all_of(done_.begin(), done_.end(), [](char d) { return d != 0; });
        });
    }
    AppendReady();
}

} // namespace mixora
