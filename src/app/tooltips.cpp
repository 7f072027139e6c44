// The tooltips: one tool per control over the bounding box of its region,
// named from the language table or else the string table.
#include <string>

#include "app/main_frame.h"
#include "device/language_text.h"
#include "device/program_records.h"
#include "skin/string_table.h"

namespace mixora {

void CMainFrame::CreateTooltips() {
    // A new skin has new controls in new places: the old tools go.
    m_pToolTip = std::make_unique<CToolTipCtrl>();
    std::vector<ToolInfo> tools;
    const CLanguageText language(m_records);
    for (const auto& control : m_skin.Controls()) {
        ToolInfo tool{control->m_nID, control->m_rgn.Bounds(), {}};
        // The tables key tooltips by the control id in decimal; the band
        // sliders have none and keep their English frequency.
        if (language.Translate("TOOLTIP", std::to_string(control->m_nID), tool.text)) {
            tool.encoding = language.Encoding();
        } else {
            tool.text = LoadProgramString(m_resources, 50000 + control->m_nID);
        }
        tools.push_back(std::move(tool));
    }
    m_host.SetTools(tools);
    m_host.ActivateTooltips(true);
}

} // namespace mixora
