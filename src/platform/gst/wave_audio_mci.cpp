#include "platform/gst/wave_audio_mci.h"

#include "platform/messages.h"

namespace mixora {

WaveAudioMci::WaveAudioMci(IMci& others, WaveAudioOptions options, Notify notify)
    : others_(others), options_(std::move(options)), notify_(std::move(notify)) {}

WaveAudioMci::~WaveAudioMci() = default;

WaveRecording* WaveAudioMci::Recording(std::uint32_t deviceId) {
    auto it = devices_.find(deviceId);
    return it == devices_.end() ? nullptr : it->second.get();
}

std::uint32_t WaveAudioMci::SendCommand(std::uint32_t deviceId, std::uint32_t msg,
                                        std::uint32_t flags, void* params) {
    if (msg == MCI_OPEN) {
        auto* open = static_cast<MCI_OPEN_PARMS*>(params);
        if (open && (flags & MCI_OPEN_TYPE) && open->lpstrDeviceType == "waveaudio") {
            return Open(flags, params);
        }
        return others_.SendCommand(deviceId, msg, flags, params);
    }
    WaveRecording* r = Recording(deviceId);
    if (!r) {
        return others_.SendCommand(deviceId, msg, flags, params);
    }
    if (msg == MCI_CLOSE) {
        devices_.erase(deviceId);
        return 0;
    }
    return Command(*r, deviceId, msg, flags, params);
}

std::uint32_t WaveAudioMci::Open(std::uint32_t flags, void* params) {
    auto* open = static_cast<MCI_OPEN_PARMS*>(params);
    // Only new, untitled recordings: opening an existing file is not asked for.
    if ((flags & MCI_OPEN_ELEMENT) && !open->lpstrElementName.empty()) {
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
    if (nextId_ > 0xFFFF) {
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    const std::uint32_t id = nextId_;
    auto recording = std::make_unique<WaveRecording>(options_);
    if (!recording->Create()) {
        return MCIERR_CANNOT_LOAD_DRIVER;
    }
    ++nextId_;
    open->wDeviceID = id;
    devices_.emplace(id, std::move(recording));
    return 0;
}

std::uint32_t WaveAudioMci::Command(WaveRecording& r, std::uint32_t id, std::uint32_t msg,
                                    std::uint32_t flags, void* params) {
    switch (msg) {
    case MCI_SET: {
        auto* set = static_cast<MCI_WAVE_SET_PARMS*>(params);
        if (!set) {
            return MCIERR_OUTOFRANGE;
        }
        if ((flags & MCI_SET_TIME_FORMAT) && set->dwTimeFormat != MCI_FORMAT_MILLISECONDS) {
            return MCIERR_OUTOFRANGE;
        }
        WaveFormat f = r.Format();
        if (flags & MCI_WAVE_SET_CHANNELS) {
            f.channels = set->nChannels;
        }
        if (flags & MCI_WAVE_SET_SAMPLESPERSEC) {
            f.rate = set->nSamplesPerSec;
        }
        if (flags & MCI_WAVE_SET_BITSPERSAMPLE) {
            f.bits = set->wBitsPerSample;
        }
        // The derived rates must agree with the rest; PCM has no choice.
        if (((flags & MCI_WAVE_SET_AVGBYTESPERSEC) && set->nAvgBytesPerSec != f.BytesPerSecond()) ||
            ((flags & MCI_WAVE_SET_BLOCKALIGN) && set->nBlockAlign != f.BlockAlign()) ||
            ((flags & MCI_WAVE_SET_FORMATTAG) && set->wFormatTag != kPcmFormatTag)) {
            return MCIERR_OUTOFRANGE;
        }
        return r.SetFormat(f);
    }
    case MCI_SEEK:
        if (flags & MCI_SEEK_TO_START) {
            return r.SeekToStart();
        }
        if (flags & MCI_SEEK_TO_END) {
            return r.SeekToEnd();
        }
        return MCIERR_UNRECOGNIZED_COMMAND;
    case MCI_RECORD:
        return r.Record();
    case MCI_PLAY: {
        auto* play = static_cast<MCI_PLAY_PARMS*>(params);
        const bool notify = (flags & MCI_NOTIFY) && play && play->dwCallback != 0;
        WaveRecording::EndOfPlay onEnd;
        if (notify && notify_) {
            onEnd = [this, cb = play->dwCallback, id] {
                notify_(cb, static_cast<std::uint32_t>(MCI_NOTIFY_SUCCESSFUL), id);
            };
        }
        return r.Play(std::move(onEnd));
    }
    case MCI_STOP:
        return r.Stop();
    case MCI_STATUS: {
        auto* status = static_cast<MCI_STATUS_PARMS*>(params);
        if (!status || !(flags & MCI_STATUS_ITEM)) {
            return MCIERR_UNRECOGNIZED_COMMAND;
        }
        if (status->dwItem == MCI_STATUS_LENGTH) {
            status->dwReturn = static_cast<std::uintptr_t>(r.LengthMs());
        } else if (status->dwItem == MCI_STATUS_POSITION) {
            status->dwReturn = static_cast<std::uintptr_t>(r.PositionMs());
        } else {
            return MCIERR_UNRECOGNIZED_COMMAND;
        }
        return 0;
    }
    case MCI_SAVE: {
        auto* save = static_cast<MCI_SAVE_PARMS*>(params);
        if (!save || !(flags & MCI_SAVE_FILE)) {
            return MCIERR_FILE_NOT_SAVED;
        }
        return r.Save(save->lpfilename);
    }
    default:
        return MCIERR_UNRECOGNIZED_COMMAND;
    }
}

} // namespace mixora
