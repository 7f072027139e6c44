#pragma once
// The environment menu and its commands. The menu offers the 26
// reverberation environments and "<None>"; a choice goes to the driver as
// an EAX 2.0 environment index, or, when start-up found the driver only
// through its DirectSound extension (m_bDsReverb), as a global-reverb record.
#include <cstdint>

#include "device/language_text.h"

namespace mixora {

class CDirectSoundReverb;
class CDeviceWindow;
class CPropertyChannel;
class IResourceModule;
struct ProgramRecords;

inline constexpr int kEnvMenuResource = 108;
// Menu commands: environment n is 40002 + n; 40028 is "<None>".
inline constexpr std::uint32_t kFirstEnvironmentCommand = 40002;
inline constexpr std::uint32_t kLastEnvironmentCommand = 40027;
inline constexpr std::uint32_t kNoEnvironmentCommand = 40028;
// The last environment the DirectSound road has ("Under Water").
inline constexpr std::uint32_t kLastDsEnvironmentCommand = 40024;

class CEnvironmentEffects {
public:
    // `resources` holds menu 108; translations come from the table `records` selects.
    CEnvironmentEffects(CPropertyChannel& channel, CDirectSoundReverb& directSound,
                        const IResourceModule& resources, ProgramRecords& records);

    // Pops the menu up at the centre of control `controlId`, with the
    // current environment radio-checked; the choice comes back as a command.
    void ShowEnvMenu(CDeviceWindow& frame, int controlId);
    // Applies a menu command 40002..40028.
    void SelectEnvironment(CDeviceWindow& frame, std::uint32_t commandId);

private:
    CPropertyChannel& channel_;
    CDirectSoundReverb& directSound_;
    const IResourceModule& resources_;
    CLanguageText language_;
};

} // namespace mixora
