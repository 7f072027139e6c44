#include "platform/qt/screen_fit.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace mixora {

int IntegerScale(double devicePixelRatio) {
    if (!(devicePixelRatio >= 1.0)) {
        return 1; // also NaN
    }
    return static_cast<int>(std::floor(devicePixelRatio + 0.5));
}

void UseIntegerScale() {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
    // The toolkit multiplies the screen's (rounded) scale by this factor
    // without rounding it.
    if (const char* factor = std::getenv("QT_SCALE_FACTOR")) {
        char* end = nullptr;
        const double value = std::strtod(factor, &end);
        if (end != factor && value > 0.0) {
            setenv("QT_SCALE_FACTOR", std::to_string(IntegerScale(value)).c_str(), 1);
        }
    }
}

QRect FitOnScreen(const QRect& window, const QRect& available) {
    if (available.isEmpty()) {
        return window;
    }
    const int x =
        std::max(available.left(), std::min(window.left(), available.right() + 1 - window.width()));
    const int y =
        std::max(available.top(), std::min(window.top(), available.bottom() + 1 - window.height()));
    return QRect(QPoint(x, y), window.size());
}

} // namespace mixora
