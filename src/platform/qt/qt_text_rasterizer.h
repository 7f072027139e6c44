#pragma once
#include <QFont>
#include <unordered_map>

#include "platform/text_rasterizer.h"

namespace mixora {

// Text with Qt's font engine: DejaVu Sans, falling back to a CJK font for
// characters it lacks.
class QtTextRasterizer final : public ITextRasterizer {
public:
    void DrawText(SurfaceView surface, const RECT& clip, int x, int y, const std::string& utf8,
                  int fontHeight, std::uint32_t color, bool opaque,
                  std::uint32_t background) override;

private:
    // The font whose line (ascent plus descent) fits `cellHeight` pixels,
    // made once per height.
    const QFont& FontForCell(int cellHeight);

    std::unordered_map<int, QFont> fonts_;
};

} // namespace mixora
