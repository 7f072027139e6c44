#pragma once
// The media player engine, the playlist operations and track sequencing.
// Every operation works on the window's playback fields (CPlaybackWindow)
// and runs on the UI thread; only the lengths of files being added are
// measured on worker threads, and appended back on the UI thread in order.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/playback_window.h"

namespace mixora {

class CMixerControl;
class IDebugOutput;
class IFileDialog;
class IFileStore;
class IMci;
class IMediaControlFactory;
class IMediaHost;
class IMessageBox;
class CLengthJob;

// Child id of the visible media control; probes never get it.
inline constexpr int kMediaControlId = 1168;

struct PlaybackServices {
    IMediaControlFactory& media;
    IMci& mci;
    CMixerControl& mixer;
    IFileDialog& dialogs;
    IFileStore& files;
    IMessageBox& messages;
    // Runs the appending of measured files back on the UI thread.
    IMediaHost& tasks;
    IDebugOutput* log = nullptr;
    // Threads that measure lengths in parallel (0: one per core, at least 2).
    unsigned measureThreads = 0;
};

class CPlaybackEngine {
public:
    explicit CPlaybackEngine(PlaybackServices services);
    ~CPlaybackEngine();
    CPlaybackEngine(const CPlaybackEngine&) = delete;
    CPlaybackEngine& operator=(const CPlaybackEngine&) = delete;

    // ---- the engine -------------------------------------------------------
    void StopPlayback(CPlaybackWindow& w);
    void PlayCurrent(CPlaybackWindow& w);
    void PausePlayback(CPlaybackWindow& w);
    void StepForward(CPlaybackWindow& w);
    void StepBackward(CPlaybackWindow& w);
    void SeekToBar(CPlaybackWindow& w);
    // m_nVolume / m_bMute (already changed by the caller) to the control and,
    // for a CD track, to the CD line.
    void ApplyVolume(CPlaybackWindow& w);
    void ApplyMute(CPlaybackWindow& w);
    bool IsMciCdTrack(const std::string& path);
    static int TrackNumberFromName(const std::string& path);
    double MeasureEntryLength(CPlaybackWindow& w, const std::string& path);
    void OpenCdDevice(CPlaybackWindow& w);
    void CloseCdDevice(CPlaybackWindow& w);
    // False when no control could be made; the user has then been told why.
    bool EnsureMediaControl(CPlaybackWindow& w);
    // A probe on the empty rectangle with the next probe id; null when none
    // can be made.
    std::unique_ptr<IMediaControl> CreateProbeControl();
    // Seconds into the loaded file (0.0 without a control).
    double PlayerPosition(CPlaybackWindow& w);

    // ---- the playlist -----------------------------------------------------
    void OpenMediaFiles(CPlaybackWindow& w);
    void AddFilesToPlaylist(CPlaybackWindow& w);
    // The two above with the files already chosen (named on the command
    // line, dropped on the window, sent over D-Bus).
    void OpenPaths(CPlaybackWindow& w, std::vector<std::string> paths);
    void AddPaths(CPlaybackWindow& w, std::vector<std::string> paths);
    void RemoveMarkedEntry(CPlaybackWindow& w);
    void ClearPlaylist(CPlaybackWindow& w);
    void LoadPlaylistFile(CPlaybackWindow& w);
    void SavePlaylistFile(CPlaybackWindow& w);
    void ScrollPlaylistFromBar(CPlaybackWindow& w);
    void RefreshPlaylistView(CPlaybackWindow& w);
    // Appends the playable ones of `paths` in order (measured in parallel,
    // appended on the UI thread as their turn comes), then runs `then`.
    // Returns at once; the window keeps answering meanwhile.
    void AppendPaths(CPlaybackWindow& w, std::vector<std::string> paths,
                     std::function<void(CPlaybackWindow&)> then = {});
    // Waits for an AppendPaths still at work and appends the rest now, so
    // that an operation on the list sees it as one-by-one adding would.
    void FinishAppending();
    bool IsAppending() const { return job_ != nullptr; }

    // ---- audio-CD detection ------------------------------------------------
    // One poll of the drive: appends the tracks of a newly found audio CD,
    // removes every CD track once the door is seen open.
    void DetectAudioCd(CPlaybackWindow& w);

    // ---- track sequencing -------------------------------------------------
    void PlayPause(CPlaybackWindow& w);
    void NextTrack(CPlaybackWindow& w);
    void PreviousTrack(CPlaybackWindow& w);
    void OnTrackEnd(CPlaybackWindow& w);

private:
    void StepTrack(CPlaybackWindow& w, bool forward);
    friend class CLengthJob;
    void StopAndCloseCd(CPlaybackWindow& w);
    std::uint32_t CdStatus(CPlaybackWindow& w, std::uint32_t item);
    void PlayCdFrom(CPlaybackWindow& w, std::uint32_t flags, std::uint32_t from, int track,
                    double length);
    void StepCd(CPlaybackWindow& w, bool forward);
    void ShowPicture(CPlaybackWindow& w);
    double MeasureFile(const std::string& path, int probeId);
    int NextProbeId();
    void JobFinished();

    PlaybackServices s_;
    int probeCounter_ = 0;
    bool cdaSettled_ = false;
    bool cdaPlayable_ = false;
    std::unique_ptr<CLengthJob> job_;
    std::shared_ptr<int> alive_;
};

} // namespace mixora
