#include "app/mixora_app.h"

#include "app/playback_operations.h"
#include "app/recorder_operations.h"
#include "device/effect_operations.h"

namespace mixora {

CMixoraApp::CMixoraApp(FrameServices services) : m_services(services) {}

CMixoraApp::~CMixoraApp() = default;

bool CMixoraApp::InitInstance() {
    // Hosting of the media control and the frame's defaults (3-D dialog
    // controls, a registry key and a four-entry recent-file list that nothing
    // shows) need nothing here: the toolkit gives them.
    auto frame = std::make_unique<CMainFrame>(m_services);

    CREATESTRUCT cs;
    cs.style = kFrameLoadStyle;
    cs.dwExStyle = WS_EX_CLIENTEDGE; // the frame's default, removed by PreCreateWindow
    if (!frame->PreCreateWindow(cs)) {
        return false;
    }
    if (!m_services.host.Create(cs, *frame)) {
        return false;
    }
    m_pMainWnd = std::move(frame);
    // There is no document type: the command line opens nothing.

    m_pMainWnd->m_skin.FitWindowToSkin(&m_pMainWnd->Host());
    m_services.effects.SetPresetDialogsOwner(*m_pMainWnd);
    m_pMainWnd->ApplyPanelShape();
    m_services.host.ShowWindow(SW_SHOW);
    m_services.host.UpdateWindow();
    return true;
}

} // namespace mixora
