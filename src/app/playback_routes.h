#pragma once
// The window's playback requests, answered by the media engine: the main
// window is the engine's playback window.
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "media/playback_engine.h"

namespace mixora {

class CPlaybackOperations final : public IPlaybackOperations {
public:
    explicit CPlaybackOperations(CPlaybackEngine& engine) : e_(engine) {}

    void PlayPause(CMainFrame& f) override { e_.PlayPause(f); }
    void StopPlayback(CMainFrame& f) override { e_.StopPlayback(f); }
    void NextTrack(CMainFrame& f) override { e_.NextTrack(f); }
    void PreviousTrack(CMainFrame& f) override { e_.PreviousTrack(f); }
    void ApplyMute(CMainFrame& f) override { e_.ApplyMute(f); }
    void ApplyVolume(CMainFrame& f) override { e_.ApplyVolume(f); }
    void StepForward(CMainFrame& f) override { e_.StepForward(f); }
    void StepBackward(CMainFrame& f) override { e_.StepBackward(f); }
    void SeekToBar(CMainFrame& f) override { e_.SeekToBar(f); }
    void OpenMediaFiles(CMainFrame& f) override { e_.OpenMediaFiles(f); }
    void AddFilesToPlaylist(CMainFrame& f) override { e_.AddFilesToPlaylist(f); }
    void OpenPaths(CMainFrame& f, std::vector<std::string> p) override {
        e_.OpenPaths(f, std::move(p));
    }
    void AddPaths(CMainFrame& f, std::vector<std::string> p) override {
        e_.AddPaths(f, std::move(p));
    }
    void RemoveMarkedEntry(CMainFrame& f) override { e_.RemoveMarkedEntry(f); }
    void ClearPlaylist(CMainFrame& f) override { e_.ClearPlaylist(f); }
    void LoadPlaylistFile(CMainFrame& f) override { e_.LoadPlaylistFile(f); }
    void SavePlaylistFile(CMainFrame& f) override { e_.SavePlaylistFile(f); }
    void ScrollPlaylistFromBar(CMainFrame& f) override { e_.ScrollPlaylistFromBar(f); }
    void PausePlayback(CMainFrame& f) override { e_.PausePlayback(f); }
    void PlayCurrent(CMainFrame& f) override { e_.PlayCurrent(f); }
    void AdvanceAfterTrackEnd(CMainFrame& f) override { e_.OnTrackEnd(f); }
    void DetectAudioCd(CMainFrame& f) override { e_.DetectAudioCd(f); }
    double PlayerPosition(CMainFrame& f) override { return e_.PlayerPosition(f); }

private:
    CPlaybackEngine& e_;
};

} // namespace mixora
