// The title and playlist texts of the window.
#include "app/main_frame.h"

namespace mixora {

void CMainFrame::CreateFonts() {}
void CMainFrame::DrawTitle() {}
void CMainFrame::DrawPlaylistText() {}
void CMainFrame::RefreshPlaylist() {}

} // namespace mixora
