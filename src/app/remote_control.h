#pragma once
// The player as D-Bus, a second start and a drop reach it: every request
// becomes the command of the control that does the same (through the
// window's dispatcher) or the playlist operation the file dialogs use.
#include "platform/remote_player.h"

namespace mixora {

class CMainFrame;
class IFileStore;
class IFolderReader;
class IMci;
class IPlaybackOperations;

class CRemoteControl final : public IRemotePlayer {
public:
    CRemoteControl(CMainFrame& frame, IPlaybackOperations& playback, IMci& mci,
                   IFolderReader& folders, IFileStore& files);
    ~CRemoteControl() override;
    CRemoteControl(const CRemoteControl&) = delete;
    CRemoteControl& operator=(const CRemoteControl&) = delete;

    PlayerStatus Status() override;
    double PositionSeconds() override;
    void Transport(TransportCommand command) override;
    void SeekTo(double seconds) override;
    void SetVolume(double fraction) override;
    void SetRepeatMode(int mode) override;
    void Open(std::vector<std::string> items, OpenMode mode) override;
    void Drop(std::vector<std::string> items, POINT at) override;
    void Quit() override;
    void SetStatusListener(std::function<void()> changed) override;

private:
    void Command(int id);
    void CheckStatus();

    CMainFrame& frame_;
    IPlaybackOperations& playback_;
    IMci& mci_;
    IFolderReader& folders_;
    IFileStore& files_;
    std::function<void()> changed_;
    PlayerStatus last_;
};

} // namespace mixora
