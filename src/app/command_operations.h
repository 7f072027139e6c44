#pragma once
// Operations the dispatcher reaches that belong to playback, the playlist,
// track sequencing, the effect device, environments and the recorder.
namespace mixora {

class CMainFrame;

class ICommandOperations {
public:
    virtual ~ICommandOperations() = default;
};

} // namespace mixora
