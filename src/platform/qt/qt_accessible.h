#pragma once
// The window to screen readers: every control of the skin an accessible
// push button or slider named by its tooltip text, with its state, its box
// and actions that post the control's command; the playlist a list of its
// lines. A skin is one painted surface, so the toolkit cannot know any of
// this by itself.
#include <QAccessibleWidget>

namespace mixora {

class QtWindowHost;

// Makes the toolkit ask us for the frame widget's accessible interface.
// Safe to call more than once.
void InstallFrameAccessibility();

} // namespace mixora
