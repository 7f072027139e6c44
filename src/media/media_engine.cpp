// The engine: files through the media control, audio-CD tracks through the
// "cdaudio" device.
#include <cmath>

#include "device/mixer_control.h"
#include "media/length_job.h"
#include "media/playback_engine.h"
#include "platform/mci.h"
#include "platform/media_control.h"
#include "platform/message_box.h"
#include "platform/system_info.h"

namespace mixora {
namespace {

constexpr int kPlayPauseButton = 1001;
// Any non-zero callback: the main window gets the MCI notifications.
constexpr std::uintptr_t kMainWindowCallback = 1;

// Minutes, seconds and frames of a packed MSF track length.
struct Msf {
    std::uint32_t m, s, f;
};
Msf MsfOf(double length) {
    const auto packed = static_cast<std::uint32_t>(length);
    return {packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF};
}

std::uint32_t TrackEnd(int track, double length) {
    const Msf l = MsfOf(length);
    return MCI_MAKE_TMSF(static_cast<std::uint32_t>(track), l.m, l.s, l.f);
}

} // namespace

CPlaybackEngine::CPlaybackEngine(PlaybackServices services)
    : s_(services), alive_(std::make_shared<int>(0)) {}

CPlaybackEngine::~CPlaybackEngine() = default;

bool CPlaybackEngine::IsMciCdTrack(const std::string& path) {
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".cda") != 0) {
        return false;
    }
    if (!cdaSettled_) {
        if (auto probe = CreateProbeControl()) {
            probe->PutFileName(path);
            cdaPlayable_ = probe->GetDuration() != 0.0;
            cdaSettled_ = true;
        } else {
            return true; // asked again with the next ".cda" path
        }
    }
    return !cdaPlayable_;
}

int CPlaybackEngine::TrackNumberFromName(const std::string& path) {
    const std::size_t k = path.rfind('k');
    const std::size_t dot = path.rfind('.');
    // Without a "k" the number starts at the front; without a "." there is none.
    const std::size_t begin = k == std::string::npos ? 0 : k + 1;
    if (dot == std::string::npos || begin > dot) {
        return 0;
    }
    const std::size_t end = dot;
    const std::string digits = path.substr(begin, end - begin);
    std::size_t i = 0;
    while (i < digits.size() && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
        negative = digits[i] == '-';
        ++i;
    }
    long long n = 0;
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
        n = std::min<long long>(n * 10 + (digits[i] - '0'), 0x7FFFFFFF);
    }
    return static_cast<int>(negative ? -n : n);
}

int CPlaybackEngine::NextProbeId() {
    ++probeCounter_;
    if (probeCounter_ == kMediaControlId) {
        probeCounter_ = kMediaControlId + 1;
    }
    return probeCounter_;
}

std::unique_ptr<IMediaControl> CPlaybackEngine::CreateProbeControl() {
    return s_.media.Create(NextProbeId(), RECT{0, 0, 0, 0}, true);
}

double CPlaybackEngine::MeasureFile(const std::string& path, int probeId) {
    auto probe = s_.media.Create(probeId, RECT{0, 0, 0, 0}, true);
    if (!probe) {
        return 0.0;
    }
    probe->PutFileName(path);
    return probe->GetDuration();
}

double CPlaybackEngine::MeasureEntryLength(CPlaybackWindow& w, const std::string& path) {
    if (IsMciCdTrack(path)) {
        double length = 0.0;
        OpenCdDevice(w);
        if (w.m_wCdDevice != 0) {
            MCI_STATUS_PARMS status;
            status.dwItem = MCI_STATUS_LENGTH;
            status.dwTrack = static_cast<std::uint32_t>(TrackNumberFromName(path));
            s_.mci.SendCommand(w.m_wCdDevice, MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK, &status);
            length = static_cast<double>(static_cast<std::uint32_t>(status.dwReturn));
        }
        CloseCdDevice(w);
        return length;
    }
    return MeasureFile(path, NextProbeId());
}

void CPlaybackEngine::OpenCdDevice(CPlaybackWindow& w) {
    if (w.m_wCdDevice != 0) {
        return;
    }
    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "cdaudio";
    if (s_.mci.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) != 0) {
        return;
    }
    w.m_wCdDevice = open.wDeviceID;
    MCI_SET_PARMS set;
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    s_.mci.SendCommand(w.m_wCdDevice, MCI_SET, MCI_SET_TIME_FORMAT, &set);
}

void CPlaybackEngine::CloseCdDevice(CPlaybackWindow& w) {
    if (w.m_wCdDevice != 0 && !w.m_bCdMode) {
        s_.mci.SendCommand(w.m_wCdDevice, MCI_CLOSE, 0, nullptr);
        w.m_wCdDevice = 0;
    }
}

void CPlaybackEngine::StopAndCloseCd(CPlaybackWindow& w) {
    s_.mci.SendCommand(w.m_wCdDevice, MCI_STOP, MCI_WAIT, nullptr);
    s_.mci.SendCommand(w.m_wCdDevice, MCI_CLOSE, 0, nullptr);
    w.m_wCdDevice = 0;
}

std::uint32_t CPlaybackEngine::CdStatus(CPlaybackWindow& w, std::uint32_t item) {
    MCI_STATUS_PARMS status;
    status.dwItem = item;
    s_.mci.SendCommand(w.m_wCdDevice, MCI_STATUS, MCI_STATUS_ITEM, &status);
    return static_cast<std::uint32_t>(status.dwReturn);
}

void CPlaybackEngine::PlayCdFrom(CPlaybackWindow& w, std::uint32_t flags, std::uint32_t from,
                                 int track, double length) {
    MCI_PLAY_PARMS play;
    play.dwCallback = kMainWindowCallback;
    play.dwFrom = from;
    play.dwTo = TrackEnd(track, length);
    s_.mci.SendCommand(w.m_wCdDevice, MCI_PLAY, flags, &play);
}

bool CPlaybackEngine::EnsureMediaControl(CPlaybackWindow& w) {
    if (w.m_pPlayer) {
        return true;
    }
    // The empty rectangle asks for a length probe, which never sounds; a
    // skin without a media area still gets a real control, one pixel big.
    RECT area = w.m_rcMedia;
    if (area.right <= area.left || area.bottom <= area.top) {
        area = RECT{area.left, area.top, area.left + 1, area.top + 1};
    }
    std::string why;
    auto control = s_.media.Create(kMediaControlId, area, true, &why);
    if (!control) {
        // Without a media engine the rest of the program still works:
        // say so instead of closing the window.
        if (s_.log) {
            s_.log->OutputDebugString("playback unavailable: " + why + "\n");
        }
        s_.messages.MessageBox("Playback is unavailable: the media control could not be created" +
                                   (why.empty() ? std::string(".") : " (" + why + ")."),
                               "Mixora", MB_OK | MB_ICONERROR);
        return false;
    }
    control->PutSwitch(kMediaSwitchShowControls, false);
    control->PutSwitch(kMediaSwitchShowStatusBar, false);
    control->PutSwitch(kMediaSwitchShowDisplay, false);
    control->PutSwitch(kMediaSwitchAutoRewind, false);
    control->ShowWindow(false);
    control->PutVolume(w.m_nVolume);
    control->PutMute(w.m_bMute != 0);
    w.m_pPlayer = std::move(control);
    return true;
}

void CPlaybackEngine::ShowPicture(CPlaybackWindow& w) {
    w.m_pPlayer->ShowWindow(w.m_pPlayer->GetHasPicture() != 0);
}

void CPlaybackEngine::PlayCurrent(CPlaybackWindow& w) {
    // An index outside the list (left by a removal elsewhere) plays nothing.
    if (w.m_playlist.empty() || w.m_nCurrent < 0 ||
        w.m_nCurrent >= static_cast<int>(w.m_playlist.size())) {
        return;
    }
    const PlaylistEntry entry = w.m_playlist[static_cast<std::size_t>(w.m_nCurrent)];
    w.m_bCdMode = IsMciCdTrack(entry.path) ? 1 : 0;
    if (w.m_bCdMode) {
        s_.mixer.SetCdVolume(w.m_nVolume);
        s_.mixer.SetCdMute(w.m_bMute != 0);
        if (w.m_pPlayer) {
            w.m_pPlayer->Stop();
            w.m_pPlayer->ShowWindow(false);
        }
        OpenCdDevice(w);
        if (w.m_wCdDevice != 0) {
            const std::uint32_t mode = CdStatus(w, MCI_STATUS_MODE);
            const int track = TrackNumberFromName(entry.path);
            if (w.m_nPlayState == 1 && mode == MCI_MODE_PLAY) {
                PlayCdFrom(w, MCI_NOTIFY | MCI_TO, 0, track, entry.length);
            } else if (w.m_nPlayState == 1) {
                PlayCdFrom(w, MCI_NOTIFY | MCI_FROM | MCI_TO,
                           static_cast<std::uint32_t>(w.m_dCdPausePosition), track, entry.length);
            } else {
                PlayCdFrom(w, MCI_NOTIFY | MCI_FROM | MCI_TO,
                           MCI_MAKE_TMSF(static_cast<std::uint32_t>(track), 0, 0, 0), track,
                           entry.length);
            }
        }
    } else {
        if (w.m_strLoadedPath != entry.path || !w.m_pPlayer) {
            w.m_bReload = 1;
        }
        if (w.m_wCdDevice != 0) {
            StopAndCloseCd(w);
        }
        if (!EnsureMediaControl(w)) {
            return; // nothing can play: the state stays as it was
        }
        const int state = w.m_pPlayer->GetPlayState();
        if (w.m_bReload) {
            w.m_pPlayer->PutFileName(entry.path);
            ShowPicture(w);
            w.m_bReload = 0;
        } else if (state == kMediaStopped || state == kMediaPaused) {
            ShowPicture(w);
            w.m_pPlayer->Play();
        }
    }
    w.m_nPlayState = 2;
    w.SetButtonState(kPlayPauseButton, 1);
    w.m_strLoadedPath = entry.path;
    w.m_dLength = entry.length;
    RefreshPlaylistView(w);
}

void CPlaybackEngine::PausePlayback(CPlaybackWindow& w) {
    const int state = w.m_pPlayer ? w.m_pPlayer->GetPlayState() : -1;
    if (w.m_bCdMode) {
        if (w.m_wCdDevice != 0) {
            w.m_dCdPausePosition = static_cast<double>(CdStatus(w, MCI_STATUS_POSITION));
            s_.mci.SendCommand(w.m_wCdDevice, MCI_PAUSE, MCI_WAIT, nullptr);
        }
    } else if (state == kMediaPlaying) {
        w.m_pPlayer->Pause();
    }
    w.m_nPlayState = 1;
    w.SetButtonState(kPlayPauseButton, 0);
}

void CPlaybackEngine::StopPlayback(CPlaybackWindow& w) {
    if (w.m_bCdMode) {
        if (w.m_wCdDevice != 0) {
            StopAndCloseCd(w);
        }
    } else if (w.m_pPlayer) {
        w.m_pPlayer->Stop();
        w.m_pPlayer->PutCurrentPosition(0.0);
        if (w.m_playlist.empty()) {
            w.m_pPlayer->ShowWindow(false);
        }
    }
    RefreshPlaylistView(w);
    w.m_nPlayState = 0;
    w.SetButtonState(kPlayPauseButton, 0);
    if (w.m_pPlayer) {
        w.m_pPlayer->ShowWindow(false);
        w.m_pPlayer->PutFileName("");
        w.m_pPlayer.reset();
    }
}

void CPlaybackEngine::StepCd(CPlaybackWindow& w, bool forward) {
    const std::uint32_t pos = CdStatus(w, MCI_STATUS_POSITION);
    int m = static_cast<int>((pos >> 8) & 0xFF);
    int s = static_cast<int>((pos >> 16) & 0xFF);
    if (forward) {
        s += 20;
        if (s >= 60) {
            m += 1;
            s -= 60;
        }
        const Msf l = MsfOf(w.m_dLength);
        const int lm = static_cast<int>(l.m), ls = static_cast<int>(l.s);
        if (m > lm || (m == lm && s >= ls)) {
            m = lm;
            s = ls;
        }
    } else if (s < 20 && m == 0) {
        s = 0;
    } else {
        s -= 20;
        if (s < 0) {
            m -= 1;
            s += 60;
        }
    }
    const int track = TrackNumberFromName(w.m_strLoadedPath);
    PlayCdFrom(w, MCI_NOTIFY | MCI_FROM | MCI_TO,
               MCI_MAKE_TMSF(static_cast<std::uint32_t>(track), static_cast<std::uint32_t>(m),
                             static_cast<std::uint32_t>(s), 0),
               track, w.m_dLength);
    if (w.m_nPlayState == 1) {
        s_.mci.SendCommand(w.m_wCdDevice, MCI_PAUSE, MCI_WAIT, nullptr);
        w.m_dCdPausePosition = static_cast<double>(CdStatus(w, MCI_STATUS_POSITION));
    }
}

void CPlaybackEngine::StepForward(CPlaybackWindow& w) {
    if (w.m_nPlayState == 0) {
        return;
    }
    if (w.m_bCdMode) {
        if (w.m_wCdDevice != 0) {
            StepCd(w, true);
        }
    } else if (w.m_pPlayer) {
        const double d = w.m_pPlayer->GetDuration();
        const double p = w.m_pPlayer->GetCurrentPosition() + d * 0.1;
        w.m_pPlayer->PutCurrentPosition(p > d ? d : p);
    }
}

void CPlaybackEngine::StepBackward(CPlaybackWindow& w) {
    if (w.m_nPlayState == 0) {
        return;
    }
    if (w.m_bCdMode) {
        if (w.m_wCdDevice != 0) {
            StepCd(w, false);
        }
    } else if (w.m_pPlayer) {
        const double d = w.m_pPlayer->GetDuration();
        const double p = w.m_pPlayer->GetCurrentPosition() - d * 0.1;
        w.m_pPlayer->PutCurrentPosition(p < 0.0 ? 0.0 : p);
    }
}

void CPlaybackEngine::SeekToBar(CPlaybackWindow& w) {
    constexpr int kSeekingBar = 1099;
    if (w.m_nPlayState == 0) {
        return;
    }
    const double f = w.GetSliderFraction(kSeekingBar);
    if (w.m_bCdMode) {
        if (w.m_wCdDevice == 0) {
            return;
        }
        const Msf l = MsfOf(w.m_dLength);
        const double total = l.m * 60.0 + l.s;
        const double x = f * total;
        const auto m = static_cast<std::uint32_t>(std::trunc(x * (1.0 / 60.0)));
        const auto s = static_cast<std::uint32_t>(static_cast<long long>(std::trunc(x)) % 60);
        const int track = TrackNumberFromName(w.m_strLoadedPath);
        PlayCdFrom(w, MCI_NOTIFY | MCI_FROM | MCI_TO,
                   MCI_MAKE_TMSF(static_cast<std::uint32_t>(track), m, s, 0), track, w.m_dLength);
        if (w.m_nPlayState == 1) {
            s_.mci.SendCommand(w.m_wCdDevice, MCI_PAUSE, MCI_WAIT, nullptr);
            w.m_dCdPausePosition = static_cast<double>(CdStatus(w, MCI_STATUS_POSITION));
        }
    } else if (w.m_pPlayer) {
        w.m_pPlayer->PutCurrentPosition(w.m_dLength * f);
    }
}

void CPlaybackEngine::ApplyVolume(CPlaybackWindow& w) {
    if (w.m_pPlayer) {
        w.m_pPlayer->PutVolume(w.m_nVolume);
    }
    if (w.m_bCdMode) {
        s_.mixer.SetCdVolume(w.m_nVolume);
    }
}

void CPlaybackEngine::ApplyMute(CPlaybackWindow& w) {
    if (w.m_pPlayer) {
        w.m_pPlayer->PutMute(w.m_bMute != 0);
    }
    if (w.m_bCdMode) {
        s_.mixer.SetCdMute(w.m_bMute != 0);
    }
}

double CPlaybackEngine::PlayerPosition(CPlaybackWindow& w) {
    return w.m_pPlayer ? w.m_pPlayer->GetCurrentPosition() : 0.0;
}

} // namespace mixora
