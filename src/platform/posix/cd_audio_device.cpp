#include "platform/posix/cd_audio_device.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace mixora {
namespace {

constexpr std::uint32_t kFps = kCdFramesPerSecond;
// MSF addresses count the two seconds of lead-in before frame 0.
constexpr std::uint32_t kMsfOffset = 2 * kFps;

std::uint32_t PackMsf(std::uint32_t frames) {
    return MCI_MAKE_MSF(frames / (60 * kFps), frames / kFps % 60, frames % kFps);
}

std::uint32_t UnpackMsf(std::uint32_t v) {
    return ((v & 0xFF) * 60 + ((v >> 8) & 0xFF)) * kFps + ((v >> 16) & 0xFF);
}

} // namespace

CdAudioDevice::CdAudioDevice(ICdDrive& drive, ICdAudioOutputFactory& outputs, IMediaHost& host,
                             IMci& next)
    : drive_(drive), outputs_(outputs), host_(host), next_(next) {}

CdAudioDevice::~CdAudioDevice() = default;

std::uint32_t CdAudioDevice::SendCommand(std::uint32_t id, std::uint32_t msg, std::uint32_t flags,
                                         void* params) {
    if (msg == MCI_OPEN) {
        auto* p = static_cast<MCI_OPEN_PARMS*>(params);
        if (p && (flags & MCI_OPEN_TYPE) &&
            strcasecmp(p->lpstrDeviceType.c_str(), "cdaudio") == 0) {
            return Open(flags, p);
        }
        return next_.SendCommand(id, msg, flags, params);
    }
    auto it = open_.find(id);
    if (it == open_.end()) {
        return next_.SendCommand(id, msg, flags, params);
    }
    Opened& d = it->second;
    switch (msg) {
    case MCI_CLOSE:
        if (notifyId_ == id) {
            Halt(Play::Stopped);
        }
        open_.erase(it);
        return 0;
    case MCI_SET: {
        auto* p = static_cast<MCI_SET_PARMS*>(params);
        if (!(flags & MCI_SET_TIME_FORMAT)) {
            return 0;
        }
        if (!p) {
            return MCIERR_MISSING_PARAMETER;
        }
        if (p->dwTimeFormat != MCI_FORMAT_MSF && p->dwTimeFormat != MCI_FORMAT_TMSF &&
            p->dwTimeFormat != MCI_FORMAT_MILLISECONDS) {
            return MCIERR_BAD_TIME_FORMAT;
        }
        d.timeFormat = p->dwTimeFormat;
        return 0;
    }
    case MCI_STATUS:
        return Status(d, flags, static_cast<MCI_STATUS_PARMS*>(params));
    case MCI_PLAY:
        return PlayRange(id, d, flags, static_cast<MCI_PLAY_PARMS*>(params));
    case MCI_SEEK:
        return Seek(id, d, flags, static_cast<MCI_PLAY_PARMS*>(params));
    case MCI_PAUSE:
        if (play_ == Play::Playing) {
            Halt(Play::Paused);
        }
        return 0;
    case MCI_STOP:
        if (play_ != Play::Stopped) {
            Halt(Play::Stopped);
        }
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

std::uint32_t CdAudioDevice::Open(std::uint32_t, MCI_OPEN_PARMS* p) {
    auto session = drive_.Open();
    if (!session) {
        return MCIERR_INVALID_DEVICE_NAME; // no drive on this machine
    }
    while (open_.count(nextId_) != 0 || nextId_ == 0) {
        nextId_ = nextId_ >= 0xFFFF ? kFirstId : nextId_ + 1;
    }
    p->wDeviceID = nextId_;
    open_[nextId_].session = std::move(session);
    nextId_ = nextId_ >= 0xFFFF ? kFirstId : nextId_ + 1;
    return 0;
}

const CdToc* CdAudioDevice::Disc(Opened& d) {
    if (d.session->Status() != CdTray::Disc) {
        d.tocRead = false; // a disc put in later is read afresh
        return nullptr;
    }
    if (!d.tocRead) {
        d.tocRead = d.session->ReadToc(&d.toc) && !d.toc.tracks.empty();
    }
    return d.tocRead ? &d.toc : nullptr;
}

std::uint32_t CdAudioDevice::Here() {
    return play_ == Play::Playing && output_ ? output_->Position() : position_;
}

std::uint32_t CdAudioDevice::EndOfDisc(const CdToc& toc) const {
    // A data session after the music (an enhanced CD) is not played.
    std::uint32_t end = toc.leadOut;
    for (auto it = toc.tracks.rbegin(); it != toc.tracks.rend() && it->data; ++it) {
        end = it->start;
    }
    return end;
}

bool CdAudioDevice::ToFrame(const Opened& d, const CdToc& toc, std::uint32_t v,
                            std::uint32_t* frame) {
    std::uint64_t f = 0;
    if (d.timeFormat == MCI_FORMAT_TMSF) {
        const std::uint32_t t = v & 0xFF;
        if (t < toc.firstTrack || t - toc.firstTrack >= toc.tracks.size()) {
            return false;
        }
        f = toc.tracks[t - toc.firstTrack].start + UnpackMsf(v >> 8);
    } else if (d.timeFormat == MCI_FORMAT_MSF) {
        const std::uint32_t a = UnpackMsf(v);
        if (a < kMsfOffset) {
            return false;
        }
        f = a - kMsfOffset;
    } else {
        f = static_cast<std::uint64_t>(v) * kFps / 1000;
    }
    if (f > toc.leadOut) {
        return false;
    }
    *frame = static_cast<std::uint32_t>(f);
    return true;
}

std::uint32_t CdAudioDevice::FromFrame(const Opened& d, const CdToc& toc, std::uint32_t frame) {
    if (d.timeFormat == MCI_FORMAT_TMSF) {
        std::size_t i = 0;
        while (i + 1 < toc.tracks.size() && toc.tracks[i + 1].start <= frame) {
            ++i;
        }
        const std::uint32_t start = toc.tracks[i].start;
        const std::uint32_t in = frame > start ? frame - start : 0;
        return (static_cast<std::uint32_t>(toc.firstTrack + i) & 0xFF) | (PackMsf(in) << 8);
    }
    if (d.timeFormat == MCI_FORMAT_MSF) {
        return PackMsf(frame + kMsfOffset);
    }
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(frame) * 1000 / kFps);
}

std::uint32_t CdAudioDevice::Status(Opened& d, std::uint32_t flags, MCI_STATUS_PARMS* p) {
    if (!p || !(flags & MCI_STATUS_ITEM)) {
        return MCIERR_MISSING_PARAMETER;
    }
    p->dwReturn = 0;
    switch (p->dwItem) {
    case MCI_STATUS_MODE:
        switch (d.session->Status()) {
        case CdTray::Open:
            p->dwReturn = MCI_MODE_OPEN;
            break;
        case CdTray::Disc:
            p->dwReturn = play_ == Play::Playing  ? MCI_MODE_PLAY
                          : play_ == Play::Paused ? MCI_MODE_PAUSE
                                                  : MCI_MODE_STOP;
            break;
        default:
            p->dwReturn = MCI_MODE_NOT_READY;
        }
        return 0;
    case MCI_STATUS_MEDIA_PRESENT:
        p->dwReturn = d.session->Status() == CdTray::Disc ? 1 : 0;
        return 0;
    case MCI_STATUS_TIME_FORMAT:
        p->dwReturn = d.timeFormat;
        return 0;
    case MCI_STATUS_READY:
        p->dwReturn = Disc(d) ? 1 : 0;
        return 0;
    default:
        break;
    }
    const CdToc* toc = Disc(d);
    if (!toc) {
        return MCIERR_DEVICE_NOT_READY;
    }
    const bool byTrack = (flags & MCI_TRACK) != 0;
    std::size_t i = 0;
    if (byTrack) {
        if (p->dwTrack < toc->firstTrack || p->dwTrack - toc->firstTrack >= toc->tracks.size()) {
            return MCIERR_OUTOFRANGE;
        }
        i = p->dwTrack - toc->firstTrack;
    }
    switch (p->dwItem) {
    case MCI_STATUS_NUMBER_OF_TRACKS:
        p->dwReturn = toc->tracks.size();
        return 0;
    case MCI_CDA_STATUS_TYPE_TRACK:
        if (!byTrack) {
            return MCIERR_MISSING_PARAMETER;
        }
        p->dwReturn = toc->tracks[i].data ? MCI_CDA_TRACK_OTHER : MCI_CDA_TRACK_AUDIO;
        return 0;
    case MCI_STATUS_LENGTH: {
        const std::uint32_t begin = byTrack ? toc->tracks[i].start : toc->tracks.front().start;
        const std::uint32_t end =
            byTrack && i + 1 < toc->tracks.size() ? toc->tracks[i + 1].start : toc->leadOut;
        const std::uint32_t frames = end > begin ? end - begin : 0;
        // Lengths are durations: minutes, seconds, frames with no lead-in.
        p->dwReturn = d.timeFormat == MCI_FORMAT_MILLISECONDS
                          ? static_cast<std::uint32_t>(std::uint64_t(frames) * 1000 / kFps)
                          : PackMsf(frames);
        return 0;
    }
    case MCI_STATUS_POSITION:
        p->dwReturn = FromFrame(d, *toc, byTrack ? toc->tracks[i].start : Here());
        return 0;
    case MCI_STATUS_CURRENT_TRACK:
        p->dwReturn = FromFrame(Opened{MCI_FORMAT_TMSF, nullptr, {}, false}, *toc, Here()) & 0xFF;
        return 0;
    default:
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

std::uint32_t CdAudioDevice::PlayRange(std::uint32_t id, Opened& d, std::uint32_t flags,
                                       MCI_PLAY_PARMS* p) {
    const CdToc* toc = Disc(d);
    if (!toc) {
        return MCIERR_DEVICE_NOT_READY;
    }
    std::uint32_t from = std::min(Here(), toc->leadOut);
    std::uint32_t to = EndOfDisc(*toc);
    if (((flags & (MCI_FROM | MCI_TO)) != 0) && !p) {
        return MCIERR_MISSING_PARAMETER;
    }
    if ((flags & MCI_FROM) && !ToFrame(d, *toc, p->dwFrom, &from)) {
        return MCIERR_OUTOFRANGE;
    }
    if ((flags & MCI_TO) && !ToFrame(d, *toc, p->dwTo, &to)) {
        return MCIERR_OUTOFRANGE;
    }
    if (from > to) {
        return MCIERR_OUTOFRANGE;
    }
    if (!output_) {
        std::string why;
        output_ = outputs_.CreateCdOutput(&why);
        if (!output_) {
            return MCIERR_HARDWARE;
        }
        output_->SetLevel(gain_, mute_);
    }
    const std::uint64_t serial = ++playSerial_;
    if (from < to && !output_->Play(d.session->Device(), from, to,
                                    [this, serial](bool failed) { OnEnd(serial, failed); })) {
        --playSerial_;
        return MCIERR_HARDWARE; // the device stays as it was
    }
    Notify(MCI_NOTIFY_SUPERSEDED);
    if (flags & MCI_NOTIFY) {
        notifyId_ = id;
    }
    if (from == to) {
        // Nothing to play: the end is reached at once.
        output_->Stop();
        host_.PostTask([this, alive = std::weak_ptr<int>(alive_), serial] {
            if (alive.lock()) {
                OnEnd(serial, false);
            }
        });
    }
    play_ = Play::Playing;
    position_ = to;
    return 0;
}

std::uint32_t CdAudioDevice::Seek(std::uint32_t, Opened& d, std::uint32_t flags,
                                  MCI_PLAY_PARMS* p) {
    const CdToc* toc = Disc(d);
    if (!toc) {
        return MCIERR_DEVICE_NOT_READY;
    }
    std::uint32_t at = 0;
    if (flags & MCI_SEEK_TO_START) {
        at = toc->tracks.front().start;
    } else if (flags & MCI_SEEK_TO_END) {
        at = EndOfDisc(*toc);
    } else if ((flags & MCI_TO) && p) {
        if (!ToFrame(d, *toc, p->dwTo, &at)) {
            return MCIERR_OUTOFRANGE;
        }
    } else {
        return MCIERR_MISSING_PARAMETER;
    }
    Halt(Play::Stopped);
    position_ = at;
    return 0;
}

void CdAudioDevice::Halt(Play to) {
    if (play_ == Play::Playing && output_) {
        position_ = output_->Position();
        if (to == Play::Paused) {
            output_->Pause();
        } else {
            output_->Stop();
        }
    } else if (to == Play::Stopped && output_) {
        output_->Stop();
    }
    ++playSerial_; // an end already on its way is stale now
    play_ = play_ == Play::Stopped ? Play::Stopped : to;
    Notify(MCI_NOTIFY_ABORTED);
}

void CdAudioDevice::Notify(std::uintptr_t code) {
    if (notifyId_ == 0) {
        return;
    }
    const std::uint32_t id = notifyId_;
    notifyId_ = 0;
    // Posted, so the window hears of it after the request that caused it.
    host_.PostTask([&host = host_, code, id] {
        host.DeliverMessage(MM_MCINOTIFY, code, static_cast<LPARAM>(id));
    });
}

void CdAudioDevice::OnEnd(std::uint64_t serial, bool failed) {
    if (serial != playSerial_ || play_ != Play::Playing) {
        return;
    }
    play_ = Play::Stopped; // position_ already holds the end of the range
    if (notifyId_ == 0) {
        return;
    }
    const std::uint32_t id = notifyId_;
    notifyId_ = 0;
    // Last: the window may start the next track while it handles this.
    host_.DeliverMessage(MM_MCINOTIFY, failed ? MCI_NOTIFY_FAILURE : MCI_NOTIFY_SUCCESSFUL,
                         static_cast<LPARAM>(id));
}

void CdAudioDevice::SetLineLevel(std::uint32_t left, std::uint32_t right, bool mute) {
    // The line's 0..65535 spans -30 dB .. 0 dB like the player's volume
    // (hundredths of a decibel, -3000..0), so a CD track and a file at the
    // same setting sound equally loud.
    const double level = (static_cast<double>(std::max(left, right)) / 65535.0) * 3000.0 - 3000.0;
    gain_ = std::pow(10.0, level / 2000.0);
    mute_ = mute;
    if (output_) {
        output_->SetLevel(gain_, mute_);
    }
}

} // namespace mixora
