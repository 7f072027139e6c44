// The tooltips: one tool per control over the bounding box of its region,
// named from the string table.
#include "app/main_frame.h"
#include "device/program_records.h"
#include "skin/string_table.h"

namespace mixora {

void CMainFrame::CreateTooltips() {
    // A new skin has new controls in new places: the old tools go.
    m_pToolTip = std::make_unique<CToolTipCtrl>();
    std::vector<ToolInfo> tools;
    for (const auto& control : m_skin.Controls()) {
        // Translated names arrive with the language tables; until one is
        // selected the English names of the string table are shown.
        tools.push_back({control->m_nID, control->m_rgn.Bounds(),
                         LoadProgramString(m_resources, 50000 + control->m_nID)});
    }
    m_host.SetTools(tools);
    m_host.ActivateTooltips(true);
}

} // namespace mixora
