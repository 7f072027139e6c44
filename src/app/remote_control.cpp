#include "app/remote_control.h"

#include <algorithm>
#include <cstdint>

#include "app/control_ids.h"
#include "app/main_frame.h"
#include "app/playback_operations.h"
#include "media/media_items.h"

namespace mixora {
namespace {

constexpr int kNextTrack = 1003;
constexpr int kPreviousTrack = 1004;

// A CD track's length is packed minutes/seconds/frames.
double CdSeconds(double packed) {
    const auto p = static_cast<std::uint32_t>(packed);
    return 60.0 * (p & 0xFF) + ((p >> 8) & 0xFF);
}

bool IsCdTrackName(const std::string& path) {
    return path.ends_with(".cda");
}

} // namespace

CRemoteControl::CRemoteControl(CMainFrame& frame, IPlaybackOperations& playback, IMci& mci,
                               IFolderReader& folders, IFileStore& files)
    : frame_(frame), playback_(playback), mci_(mci), folders_(folders), files_(files) {
    last_ = Status();
    frame_.m_onMessageHandled = [this] { CheckStatus(); };
}

CRemoteControl::~CRemoteControl() {
    frame_.m_onMessageHandled = nullptr;
}

PlayerStatus CRemoteControl::Status() {
    const CMainFrame& f = frame_;
    PlayerStatus s;
    s.playback = f.m_nPlayState == 2   ? PlaybackStatus::Playing
                 : f.m_nPlayState == 1 ? PlaybackStatus::Paused
                                       : PlaybackStatus::Stopped;
    s.repeatMode = f.m_nRepeatMode;
    s.volume = std::clamp(f.m_skin.GetSliderFraction(ID_VOLUME), 0.0, 1.0);
    s.entryCount = static_cast<int>(f.m_playlist.size());
    if (f.m_nPlayState != 0 && !f.m_strLoadedPath.empty()) {
        s.path = f.m_strLoadedPath;
        s.lengthSeconds = f.m_bCdMode ? CdSeconds(f.m_dLength) : f.m_dLength;
    } else if (f.m_nCurrent >= 0 && f.m_nCurrent < s.entryCount) {
        const PlaylistEntry& e = f.m_playlist[static_cast<std::size_t>(f.m_nCurrent)];
        s.path = e.path;
        s.lengthSeconds = IsCdTrackName(e.path) ? CdSeconds(e.length) : e.length;
    }
    if (s.entryCount > 0) {
        s.entry = std::clamp(f.m_nCurrent, 0, s.entryCount - 1);
    }
    return s;
}

double CRemoteControl::PositionSeconds() {
    if (frame_.m_nPlayState == 0) {
        return 0.0;
    }
    if (frame_.m_bCdMode) {
        const ElapsedTime e = ComputeElapsedTime(frame_, mci_, 0.0);
        return 60.0 * e.minutes + e.seconds;
    }
    return std::max(0.0, playback_.PlayerPosition(frame_));
}

void CRemoteControl::Command(int id) {
    frame_.WindowProc(WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void CRemoteControl::Transport(TransportCommand command) {
    // The Play / Pause button shows 0 where a press plays, 1 where it pauses.
    const int button = frame_.m_skin.GetButtonState(ID_PLAY_PAUSE);
    switch (command) {
    case TransportCommand::PlayPause:
        Command(ID_PLAY_PAUSE);
        break;
    case TransportCommand::Play:
        if (button == 0) {
            Command(ID_PLAY_PAUSE);
        }
        break;
    case TransportCommand::Pause:
        if (button == 1) {
            Command(ID_PLAY_PAUSE);
        }
        break;
    case TransportCommand::Stop:
        Command(ID_STOP);
        break;
    case TransportCommand::Next:
        Command(kNextTrack);
        break;
    case TransportCommand::Previous:
        Command(kPreviousTrack);
        break;
    }
}

void CRemoteControl::SeekTo(double seconds) {
    const double length = Status().lengthSeconds;
    if (frame_.m_nPlayState == 0 || !(length > 0.0)) {
        return;
    }
    // As a drag of the seeking bar to that place.
    frame_.m_skin.SetSliderFraction(ID_SEEKING_BAR, std::clamp(seconds / length, 0.0, 1.0));
    Command(ID_SEEKING_BAR);
}

void CRemoteControl::SetVolume(double fraction) {
    if (!(fraction >= 0.0)) {
        fraction = 0.0;
    }
    frame_.m_skin.SetSliderFraction(ID_VOLUME, std::min(fraction, 1.0));
    Command(ID_VOLUME);
}

void CRemoteControl::SetRepeatMode(int mode) {
    if (mode < 0 || mode > 3) {
        return;
    }
    // The repeat button cycles through the four modes.
    for (int i = 0; i < 4 && frame_.m_nRepeatMode != mode; ++i) {
        Command(ID_REPEAT);
    }
}

void CRemoteControl::Open(std::vector<std::string> items, OpenMode mode) {
    std::vector<std::string> paths = ExpandMediaItems(items, folders_, files_);
    if (paths.empty()) {
        return;
    }
    if (mode == OpenMode::Replace) {
        playback_.OpenPaths(frame_, std::move(paths));
    } else {
        playback_.AddPaths(frame_, std::move(paths));
    }
    CheckStatus();
}

void CRemoteControl::Drop(std::vector<std::string> items, POINT at) {
    const RECT& area = frame_.m_rcPlaylist;
    const bool onPlaylist = frame_.m_bShowPlaylist && at.x >= area.left && at.x < area.right &&
                            at.y >= area.top && at.y < area.bottom;
    Open(std::move(items), onPlaylist ? OpenMode::Append : OpenMode::Replace);
}

void CRemoteControl::Quit() {
    Command(ID_POWER);
}

void CRemoteControl::SetStatusListener(std::function<void()> changed) {
    changed_ = std::move(changed);
    last_ = Status();
}

void CRemoteControl::CheckStatus() {
    if (!changed_) {
        return;
    }
    PlayerStatus now = Status();
    if (now == last_) {
        return;
    }
    last_ = std::move(now);
    changed_();
}

} // namespace mixora
