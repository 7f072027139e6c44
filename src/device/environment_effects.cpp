#include "device/environment_effects.h"

#include <algorithm>
#include <string>
#include <vector>

#include "device/device_window.h"
#include "device/directsound_reverb.h"
#include "device/menu_template.h"
#include "device/program_records.h"
#include "device/property_channel.h"
#include "platform/window_host.h"
#include "skin/skin.h"

namespace mixora {
namespace {

// Menu texts are read through a 100-character buffer.
constexpr std::size_t kMenuTextRoom = 99;
constexpr std::uint32_t kStoneCorridor = 40015;

// CheckMenuRadioItem by position: the check goes on `check` when it lies
// within first..last, and every other item of that range is unchecked.
void CheckRadioItem(std::vector<MenuItem>& items, int first, int last, int check) {
    if (check < first || check > last || first < 0 || last >= static_cast<int>(items.size())) {
        return;
    }
    for (int i = first; i <= last; ++i) {
        items[static_cast<std::size_t>(i)].radioChecked =
            i == check && items[static_cast<std::size_t>(i)].id != 0;
    }
}

} // namespace

CEnvironmentEffects::CEnvironmentEffects(CPropertyChannel& channel, CDirectSoundReverb& directSound,
                                         const IResourceModule& resources, ProgramRecords& records)
    : channel_(channel), directSound_(directSound), resources_(resources), language_(records) {}

void CEnvironmentEffects::ShowEnvMenu(CDeviceWindow& frame, int controlId) {
    const auto menu = LoadMenuTemplate(resources_, kEnvMenuResource);
    if (!menu || menu->empty()) {
        return;
    }
    std::vector<MenuItem> items;
    for (const MenuTemplateItem& t : menu->front().items) {
        items.push_back({t.id, t.text, false, (t.flags & MF_MENUBARBREAK) != 0});
    }
    const int count = static_cast<int>(items.size());

    for (MenuItem& item : items) {
        if (item.id < kFirstEnvironmentCommand || item.id > kNoEnvironmentCommand) {
            continue;
        }
        // The English text is the key of its translation.
        if (language_.Translate("Env", item.text.substr(0, kMenuTextRoom), item.text)) {
            item.encoding = language_.Encoding();
            item.columnBreak = item.id == kStoneCorridor || item.id == kNoEnvironmentCommand;
        }
    }

    const CSkinControl* control = frame.Skin().Controls().Find(controlId);
    if (!control) {
        return;
    }
    const RECT box = control->m_rgn.Bounds();
    const POINT anchor =
        frame.Host().ClientToScreen({(box.left + box.right) / 2, (box.top + box.bottom) / 2});

    if (frame.m_bDsReverb) {
        // The DirectSound extension has no Drugged, Dizzy or Psychotic.
        directSound_.ReadDsEnvironment(frame);
        std::erase_if(items, [](const MenuItem& item) {
            return item.id > kLastDsEnvironmentCommand && item.id < kNoEnvironmentCommand;
        });
        const int noneAt =
            static_cast<int>(kLastDsEnvironmentCommand - kFirstEnvironmentCommand) + 1;
        CheckRadioItem(items, 0, count - 4,
                       frame.m_nDsEnvironment != 0 ? frame.m_nDsEnvironment - 1 : noneAt);
    } else {
        const int noneAt = static_cast<int>(kNoEnvironmentCommand - kFirstEnvironmentCommand);
        const int checked = channel_.g_eaxEnabled != 0
                                ? static_cast<int>(std::min<std::uint32_t>(
                                      channel_.g_listener.dwEnvironment, 0x7FFFFFFF))
                                : noneAt;
        CheckRadioItem(items, 0, count - 1, checked);
    }
    frame.Host().TrackPopupMenu(items, anchor);
}

void CEnvironmentEffects::SelectEnvironment(CDeviceWindow& frame, std::uint32_t commandId) {
    if (commandId < kFirstEnvironmentCommand || commandId > kNoEnvironmentCommand) {
        return;
    }
    if (frame.m_bDsReverb) {
        if (commandId <= kLastDsEnvironmentCommand) {
            frame.m_nDsEnvironment = static_cast<int>(commandId - (kFirstEnvironmentCommand - 1));
        } else if (commandId == kNoEnvironmentCommand) {
            frame.m_nDsEnvironment = 0;
        }
        directSound_.SetGlobalReverb(frame);
        return;
    }
    if (commandId == kNoEnvironmentCommand) {
        // Only the switch goes off; the driver keeps its environment number.
        frame.m_nEnvironment = -1;
        if (!channel_.EnsureDevice()) {
            return;
        }
        channel_.SetEaxEnable(0);
        channel_.ReleaseDevice();
        return;
    }
    frame.m_nEnvironment = static_cast<int>(commandId - kFirstEnvironmentCommand);
    if (!channel_.EnsureDevice()) {
        return;
    }
    channel_.SetEaxEnable(1);
    channel_.SetEnvironment(frame.m_nEnvironment);
    channel_.ReleaseDevice();
}

} // namespace mixora
