#pragma once
// What the playback room keeps on the main window and reaches through it:
// the playlist and its indices, the engine's state, the media control, the
// display areas playback draws on, and the skin whose buttons and sliders
// show it. The main window is one of these; playback never sees more of it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/playlist_entry.h"
#include "platform/media_control.h"
#include "platform/messages.h"

namespace mixora {

class CPlaybackWindow {
public:
    // The window's buttons and sliders (the skin draws them).
    virtual int GetButtonState(int id) const = 0;
    virtual void SetButtonState(int id, int state) = 0;
    virtual double GetSliderFraction(int id) const = 0;
    virtual void SetSliderFraction(int id, double f) = 0;
    // Erases the title display (the name of the loaded entry) to be drawn anew.
    virtual void EraseTitle() = 0;
    // Repaints the playlist lines from m_nTopIndex on.
    virtual void RepaintPlaylist() = 0;
    // Raises (+1) or lowers (-1) the window's busy count, which keeps Power
    // from closing the window while playlist work is under way.
    virtual void AddBusy(int delta) = 0;

    std::vector<PlaylistEntry> m_playlist;
    int m_nCurrent = 0;
    int m_nTopIndex = 0;
    int m_nSelected = -1;
    int m_bReload = 0;
    int m_nPlayState = 0;
    int m_nPlayStateBeforeSuspend = 0;
    std::unique_ptr<IMediaControl> m_pPlayer;
    std::string m_strLoadedPath;
    double m_dLength = 0.0;
    double m_dCdPausePosition = 0.0;
    int m_bCdMode = 0;
    std::uint32_t m_wCdDevice = 0;
    int m_nVolume = 0;
    int m_bMute = 0;
    int m_nRepeatMode = 0;
    // The tracks of an audio CD were appended and the door not seen open since.
    int m_bCdPresent = 0;
    // The state of the random-order generator, seeded when the window is made.
    std::uint32_t m_nRandomState = 0;
    // While files are being measured and added: "done / total" for the title.
    std::string m_strProgress;

    // From the skin.
    int m_bPLScrollReverse = 0;
    RECT m_rcMedia{};

protected:
    CPlaybackWindow() = default;
    ~CPlaybackWindow() = default;
    CPlaybackWindow(const CPlaybackWindow&) = delete;
    CPlaybackWindow& operator=(const CPlaybackWindow&) = delete;
};

} // namespace mixora
