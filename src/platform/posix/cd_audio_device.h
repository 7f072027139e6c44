#pragma once
// The "cdaudio" media control device: the requests the program sends to a
// CD player (open, time format, status, play with notification, pause,
// stop, seek, close), answered with the classic packed values from the
// drive's table of contents, and the sound played by the media engine.
// Requests for other devices go on to `next`.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/cd_drive.h"
#include "platform/mci.h"
#include "platform/media_host.h"

namespace mixora {

class CdAudioDevice final : public IMci {
public:
    // Everything passed in outlives the device. `outputs` is asked for the
    // sound on the first play only.
    CdAudioDevice(ICdDrive& drive, ICdAudioOutputFactory& outputs, IMediaHost& host, IMci& next);
    ~CdAudioDevice() override;

    std::uint32_t SendCommand(std::uint32_t deviceId, std::uint32_t msg, std::uint32_t flags,
                              void* params) override;

    // The CD line of the mixer: volume of each channel (0..65535) and mute.
    void SetLineLevel(std::uint32_t left, std::uint32_t right, bool mute);

    // Ids this device hands out start here, apart from other devices' ids.
    static constexpr std::uint32_t kFirstId = 0x0C01;

private:
    struct Opened {
        std::uint32_t timeFormat = MCI_FORMAT_MSF;
        std::unique_ptr<ICdDriveSession> session;
        CdToc toc;
        bool tocRead = false;
    };
    enum class Play { Stopped, Playing, Paused };

    std::uint32_t Open(std::uint32_t flags, MCI_OPEN_PARMS* p);
    std::uint32_t Status(Opened& d, std::uint32_t flags, MCI_STATUS_PARMS* p);
    std::uint32_t PlayRange(std::uint32_t id, Opened& d, std::uint32_t flags, MCI_PLAY_PARMS* p);
    std::uint32_t Seek(std::uint32_t id, Opened& d, std::uint32_t flags, MCI_PLAY_PARMS* p);
    void Halt(Play to);
    void Notify(std::uintptr_t code);
    void OnEnd(std::uint64_t play, bool failed);
    // The table of a readable disc, or null.
    const CdToc* Disc(Opened& d);
    std::uint32_t Here();
    std::uint32_t EndOfDisc(const CdToc& toc) const;
    // A time in the device's format to a frame; false when out of range.
    bool ToFrame(const Opened& d, const CdToc& toc, std::uint32_t value, std::uint32_t* frame);
    std::uint32_t FromFrame(const Opened& d, const CdToc& toc, std::uint32_t frame);

    ICdDrive& drive_;
    ICdAudioOutputFactory& outputs_;
    IMediaHost& host_;
    IMci& next_;
    std::map<std::uint32_t, Opened> open_;
    std::uint32_t nextId_ = kFirstId;

    // One drive, one sound, whichever device id asked for it.
    std::unique_ptr<ICdAudioOutput> output_;
    Play play_ = Play::Stopped;
    std::uint32_t position_ = 0; // where a stopped or paused disc stands
    std::uint64_t playSerial_ = 0;
    std::uint32_t notifyId_ = 0; // device waiting for the end of the play
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    double gain_ = 1.0;
    bool mute_ = false;
};

} // namespace mixora
