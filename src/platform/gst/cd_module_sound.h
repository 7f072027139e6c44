#pragma once
// The program's sound of audio CDs: the media engine module is loaded the
// first time a CD track is played, not at start, so that a program that
// only polls the drive never maps GStreamer.
#include <functional>
#include <memory>
#include <string>

#include "platform/gst/cd_sound.h"

namespace mixora {

// The module's entry point: a new factory, owned by the caller.
using MakeCdSoundFn = ICdAudioOutputFactory* (*)(IMediaHost*, const CdSoundOptions*);
inline constexpr const char* kCdSoundEntry = "mixora_make_cd_sound";

class CdModuleSound final : public ICdAudioOutputFactory {
public:
    // `report` hears, once per run, why CDs cannot be played, so a person
    // learns it while the device only refuses to play.
    CdModuleSound(IMediaHost& host, CdSoundOptions options, const std::string& programFolder,
                  std::function<void(const std::string&)> report);
    ~CdModuleSound() override;

    // UI thread. Loads the module on the first call.
    std::unique_ptr<ICdAudioOutput> CreateCdOutput(std::string* why) override;

private:
    IMediaHost& host_;
    CdSoundOptions options_;
    std::string path_;
    std::function<void(const std::string&)> report_;
    std::unique_ptr<ICdAudioOutputFactory> factory_;
    std::string failure_;
    bool tried_ = false;
    bool reported_ = false;
};

} // namespace mixora
