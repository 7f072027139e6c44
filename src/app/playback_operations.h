#pragma once
// What the window asks of playback: the media engine, the playlist and track
// sequencing. The dispatcher has already changed the window's own fields
// (mute, volume) when it calls one. Every call is on the UI thread; the ones
// that run a modal file dialog block until it closes, and the window's
// message loop keeps dispatching commands meanwhile.
#include <string>
#include <vector>

namespace mixora {

class CMainFrame;

class IPlaybackOperations {
public:
    virtual ~IPlaybackOperations() = default;

    // ---- commands -------------------------------------------------------
    // Resumes, starts (a random entry first in random order) or pauses, by
    // the state of the Play / Pause button.
    virtual void PlayPause(CMainFrame& frame) = 0;
    // Stops playback of the current entry.
    virtual void StopPlayback(CMainFrame& frame) = 0;
    // Moves to the next / previous entry of the list (by the repeat mode)
    // and plays it.
    virtual void NextTrack(CMainFrame& frame) = 0;
    virtual void PreviousTrack(CMainFrame& frame) = 0;
    // Puts m_bMute / m_nVolume (-3000..0) on the player control, when one
    // exists, and on the CD line in CD mode.
    virtual void ApplyMute(CMainFrame& frame) = 0;
    virtual void ApplyVolume(CMainFrame& frame) = 0;
    // Jumps forward / backward: 20 seconds on a CD track, a tenth of the
    // length on a file.
    virtual void StepForward(CMainFrame& frame) = 0;
    virtual void StepBackward(CMainFrame& frame) = 0;
    // Jumps to the position of the seeking bar.
    virtual void SeekToBar(CMainFrame& frame) = 0;

    // ---- playlist -------------------------------------------------------
    // Open-file dialog; the chosen files replace the list and play.
    virtual void OpenMediaFiles(CMainFrame& frame) = 0;
    // Open-file dialog; the chosen files are appended to the list.
    virtual void AddFilesToPlaylist(CMainFrame& frame) = 0;
    // The same two with the files already chosen elsewhere (command line,
    // a drop, D-Bus): replace the list and play, or append.
    virtual void OpenPaths(CMainFrame& frame, std::vector<std::string> paths) = 0;
    virtual void AddPaths(CMainFrame& frame, std::vector<std::string> paths) = 0;
    // Removes the marked entry from the list.
    virtual void RemoveMarkedEntry(CMainFrame& frame) = 0;
    // Empties the list; what plays goes on to its end.
    virtual void ClearPlaylist(CMainFrame& frame) = 0;
    // Open-file dialog for a playlist file, then reads it into the list.
    virtual void LoadPlaylistFile(CMainFrame& frame) = 0;
    // Save-file dialog, then writes the list as a playlist file.
    virtual void SavePlaylistFile(CMainFrame& frame) = 0;
    // Sets the first visible line from the playlist scrollbar.
    virtual void ScrollPlaylistFromBar(CMainFrame& frame) = 0;

    // ---- the window's life ----------------------------------------------
    // Pause, and start or resume the current entry (suspend and resume, a
    // double-click on a playlist line).
    virtual void PausePlayback(CMainFrame& frame) = 0;
    virtual void PlayCurrent(CMainFrame& frame) = 0;
    // The current entry has played to its end.
    virtual void AdvanceAfterTrackEnd(CMainFrame& frame) = 0;
    // Each tick of timer 1: look for an audio CD, and the player's position
    // in seconds (0.0 without a player).
    virtual void DetectAudioCd(CMainFrame& frame) = 0;
    virtual double PlayerPosition(CMainFrame& frame) = 0;
};

} // namespace mixora
