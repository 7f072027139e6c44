#include "platform/qt/qt_text_rasterizer.h"

namespace mixora {

void QtTextRasterizer::DrawText(SurfaceView, const RECT&, int, int, const std::string&, int, std::uint32_t, bool,
                                std::uint32_t) {}

} // namespace mixora
