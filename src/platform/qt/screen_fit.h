#pragma once
// Where and how large the window shows on a screen. A skin is pixel art:
// one skin pixel must cover a whole number of screen pixels, or some rows
// and columns come out doubled and others not, and thin lines of the
// controls break up.
#include <QRect>

namespace mixora {

// The whole-number scale for a screen's device pixel ratio: the nearest
// integer, halves rounded up, never below 1.
int IntegerScale(double devicePixelRatio);

// To be called before the application object is made: the toolkit then
// rounds every screen's scale to IntegerScale, and a fractional
// QT_SCALE_FACTOR asked for by the user is rounded the same way. Menus and
// dialogs follow the same scale as the window.
void UseIntegerScale();

// `window` moved (never resized) so that it lies inside `available`: left
// where it is when it already does; pushed in from whichever edges it
// crosses otherwise; with its top-left corner at the area's when it is
// larger than the area, so its title and buttons can be reached.
QRect FitOnScreen(const QRect& window, const QRect& available);

} // namespace mixora
