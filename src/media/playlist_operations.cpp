// The playlist: filling it from dialogs and playlist files, shrinking it,
// saving it, and keeping its view in step.
#include <cmath>
#include <thread>

#include "media/length_job.h"
#include "media/playback_engine.h"
#include "media/playlist_file.h"
#include "platform/file_dialog.h"
#include "platform/file_store.h"
#include "platform/message_box.h"

namespace mixora {
namespace {

constexpr int kPlaylistScrollbar = 1098;

FileDialogRequest MediaFilesDialog() {
    FileDialogRequest r;
    r.kind = FileDialogRequest::Kind::Open;
    r.allowMultiple = true;
    r.filters = {{"All Files (*.*)", "*.*"}};
    r.defaultExtension = "all";
    return r;
}

FileDialogRequest PlaylistDialog(FileDialogRequest::Kind kind) {
    FileDialogRequest r;
    r.kind = kind;
    r.overwritePrompt = kind == FileDialogRequest::Kind::Save;
    r.filters = {{"PlayList File (*.pla)", "*.pla"}};
    r.defaultExtension = "pla";
    return r;
}

void ResetIndices(CPlaybackWindow& w) {
    w.m_nTopIndex = w.m_nCurrent = 0;
    w.m_nSelected = -1;
}

} // namespace

void CPlaybackEngine::AppendPaths(CPlaybackWindow& w, std::vector<std::string> paths,
                                  std::function<void(CPlaybackWindow&)> then) {
    FinishAppending();
    // CD tracks are measured here, in order, through the CD device; files
    // get their probe ids now so they are the same whatever thread measures.
    std::vector<CLengthJob::Item> items;
    items.reserve(paths.size());
    for (std::string& path : paths) {
        CLengthJob::Item item;
        if (IsMciCdTrack(path)) {
            item.length = MeasureEntryLength(w, path);
        } else {
            item.probeId = NextProbeId();
        }
        item.path = std::move(path);
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        if (then) {
            then(w);
        }
        return;
    }
    unsigned threads = s_.measureThreads;
    if (threads == 0) {
        threads = std::max(2u, std::thread::hardware_concurrency());
    }
    w.AddBusy(+1);
    job_ =
        std::make_unique<CLengthJob>(*this, w, std::move(items), std::move(then), threads, alive_);
}

void CPlaybackEngine::FinishAppending() {
    if (job_) {
        job_->Finish();
        JobFinished();
    }
}

void CPlaybackEngine::JobFinished() {
    std::unique_ptr<CLengthJob> job = std::move(job_);
    CPlaybackWindow& w = job->Window();
    auto then = job->TakeContinuation();
    job.reset();
    w.m_strProgress.clear();
    w.AddBusy(-1);
    RefreshPlaylistView(w);
    if (then) {
        then(w);
    }
}

void CPlaybackEngine::OpenMediaFiles(CPlaybackWindow& w) {
    auto chosen = s_.dialogs.Run(MediaFilesDialog());
    if (chosen) {
        OpenPaths(w, std::move(*chosen));
    }
}

void CPlaybackEngine::OpenPaths(CPlaybackWindow& w, std::vector<std::string> paths) {
    if (paths.empty()) {
        return;
    }
    FinishAppending();
    StopPlayback(w);
    ResetIndices(w);
    w.m_bReload = 1;
    w.m_playlist.clear();
    std::string last = paths.back();
    AppendPaths(w, std::move(paths), [this, last](CPlaybackWindow& w) {
        // A confirmed choice never leaves the list empty.
        if (w.m_playlist.empty()) {
            w.m_playlist.push_back({last, 0.0});
        }
        PlayCurrent(w);
    });
}

void CPlaybackEngine::AddFilesToPlaylist(CPlaybackWindow& w) {
    auto chosen = s_.dialogs.Run(MediaFilesDialog());
    AddPaths(w, chosen ? std::move(*chosen) : std::vector<std::string>{});
}

void CPlaybackEngine::AddPaths(CPlaybackWindow& w, std::vector<std::string> paths) {
    if (!paths.empty()) {
        AppendPaths(w, std::move(paths));
    }
    RefreshPlaylistView(w);
}

void CPlaybackEngine::RemoveMarkedEntry(CPlaybackWindow& w) {
    FinishAppending();
    const int m = w.m_nSelected;
    if (m < 0 || m >= static_cast<int>(w.m_playlist.size())) {
        return;
    }
    w.m_playlist.erase(w.m_playlist.begin() + m);
    if (m <= w.m_nCurrent) {
        w.m_nCurrent = std::max(0, w.m_nCurrent - 1);
    }
    if (m <= w.m_nTopIndex) {
        w.m_nTopIndex = std::max(0, w.m_nTopIndex - 1);
    }
    w.m_bReload = 1;
    w.m_nSelected = -1;
    RefreshPlaylistView(w);
}

void CPlaybackEngine::ClearPlaylist(CPlaybackWindow& w) {
    FinishAppending();
    if (w.m_playlist.empty()) {
        return;
    }
    w.m_playlist.clear();
    w.m_nTopIndex = w.m_nCurrent = 0;
    w.m_bReload = 1;
    w.m_nSelected = -1;
    RefreshPlaylistView(w);
}

void CPlaybackEngine::LoadPlaylistFile(CPlaybackWindow& w) {
    auto chosen = s_.dialogs.Run(PlaylistDialog(FileDialogRequest::Kind::Open));
    if (!chosen || chosen->empty()) {
        RefreshPlaylistView(w);
        return;
    }
    FinishAppending();
    const std::string& path = chosen->front();
    // Read first: a file that cannot be read leaves the list as it was.
    std::string bytes;
    if (const FileError error = s_.files.ReadAll(path, bytes); error != FileError::None) {
        s_.messages.MessageBox(FileErrorText(error, path), "Mixora", MB_OK | MB_ICONERROR);
        return;
    }
    w.m_playlist.clear();
    ResetIndices(w);
    AppendPaths(w, ParsePlaylist(bytes));
    RefreshPlaylistView(w);
}

void CPlaybackEngine::SavePlaylistFile(CPlaybackWindow& w) {
    FinishAppending();
    if (w.m_playlist.empty()) {
        return;
    }
    auto chosen = s_.dialogs.Run(PlaylistDialog(FileDialogRequest::Kind::Save));
    if (!chosen || chosen->empty()) {
        return;
    }
    const std::string& path = chosen->front();
    // A new file replaces the old one only once it is wholly written.
    if (const FileError error = s_.files.WriteAtomically(path, SerializePlaylist(w.m_playlist));
        error != FileError::None) {
        s_.messages.MessageBox(FileErrorText(error, path), "Mixora", MB_OK | MB_ICONERROR);
    }
}

void CPlaybackEngine::ScrollPlaylistFromBar(CPlaybackWindow& w) {
    double f = w.GetSliderFraction(kPlaylistScrollbar);
    if (w.m_bPLScrollReverse) {
        f = 1.0 - f;
    }
    if (w.m_playlist.empty()) {
        return;
    }
    const int t =
        w.m_playlist.size() == 1
            ? 0
            : static_cast<int>(std::trunc(static_cast<double>(w.m_playlist.size() - 1) * f));
    if (t != w.m_nTopIndex) {
        w.m_nTopIndex = t;
        w.RepaintPlaylist();
    }
}

void CPlaybackEngine::RefreshPlaylistView(CPlaybackWindow& w) {
    float f = 0.0f;
    if (w.m_playlist.size() > 1) {
        f = static_cast<float>(w.m_nTopIndex) / static_cast<float>(w.m_playlist.size() - 1);
    }
    if (w.m_bPLScrollReverse) {
        f = 1.0f - f;
    }
    w.SetSliderFraction(kPlaylistScrollbar, f);
    w.EraseTitle();
    w.RepaintPlaylist();
}

} // namespace mixora
