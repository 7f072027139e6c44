#pragma once
// The application object: it makes the main window, fits it to the skin and
// shows it. It holds the program-wide records and nothing else of its own.
#include <memory>

#include "app/main_frame.h"
#include "device/program_records.h"

namespace mixora {

class CMixoraApp {
public:
    explicit CMixoraApp(FrameServices services);
    ~CMixoraApp();

    // Start-up; false when the window could not be made (the program then
    // ends without one).
    bool InitInstance();

    CMainFrame* MainFrame() { return m_pMainWnd.get(); }

private:
    FrameServices m_services;
    std::unique_ptr<CMainFrame> m_pMainWnd;
};

// Style the frame is loaded with before it adjusts its creation record.
inline constexpr std::uint32_t kFrameLoadStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;

} // namespace mixora
