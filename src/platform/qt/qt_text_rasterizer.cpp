#include "platform/qt/qt_text_rasterizer.h"

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace mixora {
namespace {

// The core's colours are 0x00BBGGRR.
QColor FromColorRef(std::uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

QFont MakeFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK TC")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

} // namespace

const QFont& QtTextRasterizer::FontForCell(int cellHeight) {
    auto found = fonts_.find(cellHeight);
    if (found != fonts_.end()) {
        return found->second;
    }
    // The height asked for is the height of a whole line of text, as the
    // cells are drawn one below the other: shrink the em size until the
    // ascent and descent fit, so descenders are not cut off at the cell's
    // bottom.
    int size = std::max(1, cellHeight);
    QFont font = MakeFont(size);
    while (size > 1 && QFontMetrics(font).height() > cellHeight) {
        --size;
        font = MakeFont(size);
    }
    return fonts_.emplace(cellHeight, font).first->second;
}

void QtTextRasterizer::DrawText(SurfaceView surface, const RECT& clip, int x, int y,
                                const std::string& utf8, int fontHeight, std::uint32_t color,
                                bool opaque, std::uint32_t background) {
    if (surface.width <= 0 || surface.height <= 0 ||
        surface.pixels.size() <
            static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height)) {
        return;
    }
    const QRect area = QRect(QPoint(clip.left, clip.top), QPoint(clip.right - 1, clip.bottom - 1))
                           .intersected(QRect(0, 0, surface.width, surface.height));
    if (area.isEmpty()) {
        return;
    }
    // The picture is opaque 0xFFRRGGBB, which is what RGB32 holds; the
    // image only wraps the pixels.
    QImage image(reinterpret_cast<uchar*>(surface.pixels.data()), surface.width, surface.height,
                 surface.width * static_cast<int>(sizeof(std::uint32_t)), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRect(area);
    if (opaque) {
        painter.fillRect(area, FromColorRef(background));
    }
    if (utf8.empty() || fontHeight <= 0) {
        return;
    }
    const QFont& font = FontForCell(fontHeight);
    painter.setFont(font);
    painter.setPen(FromColorRef(color));
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // (x, y) is the top-left of the text's line, not its baseline.
    const int baseline = y + QFontMetrics(font).ascent();
    painter.drawText(QPoint(x, baseline),
                     QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

} // namespace mixora
