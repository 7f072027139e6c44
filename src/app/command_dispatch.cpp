// The dispatcher: every command of the window, from a click, a slider or a
// popup menu, becomes its change of the window's state and its operation.
#include "app/control_ids.h"
#include "app/main_frame.h"

namespace mixora {

bool CMainFrame::OnCommand(WPARAM wParam, LPARAM) {
    const auto id = static_cast<std::uint32_t>(wParam);
    if (id == 1065) {
        ShowSkinMenu(1065);
    } else if (id == ID_TOGGLE_RECORDER || id == ID_TOGGLE_PLAYLIST || id == ID_TOGGLE_EQUALIZER) {
        TogglePanel(static_cast<int>(id));
    } else if (id >= ID_BASE_SKIN && id <= ID_LAST_SKIN_PACKAGE) {
        SwitchSkin(id);
        m_bSkinChanged = 1;
    }
    return false;
}

} // namespace mixora
