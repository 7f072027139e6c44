#pragma once
// The one place that lists what the window can ask for but the program does
// not do yet. Each route here changes nothing; the first use of each writes
// one debugger line naming it, so a missing piece is never mistaken for a
// silent success.
#include <set>
#include <string>

#include "app/playback_operations.h"

namespace mixora {

class IDebugOutput;

// Playback, the playlist, track sequencing and audio-CD detection.
class CPlaybackNotBuilt : public IPlaybackOperations {
public:
    explicit CPlaybackNotBuilt(IDebugOutput* debug = nullptr) : debug_(debug) {}
    void PlayPause(CMainFrame&) override { Say("PlayPause"); }
    void StopPlayback(CMainFrame&) override { Say("StopPlayback"); }
    void NextTrack(CMainFrame&) override { Say("NextTrack"); }
    void PreviousTrack(CMainFrame&) override { Say("PreviousTrack"); }
    void ApplyMute(CMainFrame&) override {}   // nothing plays: nothing to mute
    void ApplyVolume(CMainFrame&) override {} // nothing plays: nothing to turn
    void StepForward(CMainFrame&) override { Say("StepForward"); }
    void StepBackward(CMainFrame&) override { Say("StepBackward"); }
    void SeekToBar(CMainFrame&) override { Say("SeekToBar"); }
    void OpenMediaFiles(CMainFrame&) override { Say("OpenMediaFiles"); }
    void AddFilesToPlaylist(CMainFrame&) override { Say("AddFilesToPlaylist"); }
    void RemoveMarkedEntry(CMainFrame&) override { Say("RemoveMarkedEntry"); }
    void ClearPlaylist(CMainFrame&) override { Say("ClearPlaylist"); }
    void LoadPlaylistFile(CMainFrame&) override { Say("LoadPlaylistFile"); }
    void SavePlaylistFile(CMainFrame&) override { Say("SavePlaylistFile"); }
    void ScrollPlaylistFromBar(CMainFrame&) override { Say("ScrollPlaylistFromBar"); }
    void PausePlayback(CMainFrame&) override { Say("PausePlayback"); }
    void PlayCurrent(CMainFrame&) override { Say("PlayCurrent"); }
    void AdvanceAfterTrackEnd(CMainFrame&) override { Say("AdvanceAfterTrackEnd"); }
    void DetectAudioCd(CMainFrame&) override {}
    double PlayerPosition(CMainFrame&) override { return 0.0; }

private:
    void Say(const char* what);
    IDebugOutput* debug_;
    std::set<std::string> said_;
};

} // namespace mixora
