#pragma once
// The main window on the desktop: a frameless Qt top-level widget whose
// events become the core's window messages.
#include <QAbstractNativeEventFilter>
#include <QImage>
#include <QObject>
#include <QWidget>
#include <map>
#include <memory>

#include "platform/accessible_window.h"
#include "platform/media_host.h"
#include "platform/window_host.h"

namespace mixora {

class QtWindowHost;

class FrameWidget final : public QWidget {
public:
    explicit FrameWidget(QtWindowHost& host);
    QtWindowHost& Host() const { return host_; }

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    QtWindowHost& host_;
};

// Notices the window's X window being destroyed by another client (a
// window manager's "kill", xdotool windowclose): the toolkit itself does
// not, and the program would go on without a window.
class NativeWindowWatch final : public QAbstractNativeEventFilter {
public:
    explicit NativeWindowWatch(QtWindowHost& host) : host_(host) {}
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QtWindowHost& host_;
};

class QtWindowHost final : public IWindowHost, public IMediaHost {
public:
    QtWindowHost();
    ~QtWindowHost() override;

    bool Create(const CREATESTRUCT& cs, IWindowProc& proc) override;
    void PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    UINT SetTimer(UINT id, UINT elapseMs) override;
    bool KillTimer(UINT id) override;
    void ShowWindow(int nCmdShow) override;
    void UpdateWindow() override;
    void DestroyWindow() override;
    void SetClientSize(int cx, int cy) override;
    void SetWindowRgn(std::span<const RECT> rects, bool redraw) override;
    void SetSurface(const std::uint32_t* pixels, int width, int height) override;
    void InvalidateRect(const RECT* rc) override;
    POINT ClientToScreen(POINT pt) override;
    void TrackPopupMenu(const std::vector<MenuItem>& items, POINT screen) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    void BeginWindowMove() override;
    void SetTools(const std::vector<ToolInfo>& tools) override;
    void ActivateTooltips(bool active) override;

    void PostTask(std::function<void()> task) override;
    LRESULT DeliverMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetMediaPicture(const RECT& rect, const std::uint32_t* pixels, int width,
                         int height) override;

    // True once the window was made and destroyed again.
    bool IsDestroyed() const { return destroyed_; }
    QWidget* Widget() { return widget_.get(); }
    // The tooltips as last set: the names the controls are read by.
    const std::vector<ToolInfo>& Tools() const { return tools_; }
    // The window procedure's answers for screen readers, when it has them.
    const IAccessibleWindow* AccessibleSource() const { return accessible_; }

    // The native window went away under us: end the normal way, as a
    // close asked by the desktop does, so the settings are written.
    void OnNativeWindowGone(unsigned long nativeId);

private:
    friend class FrameWidget;
    LRESULT Deliver(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnQtTimer(int qtTimerId);
    // Starts moving the window with the pointer, by the window manager
    // where there is one, else by hand from where the press was.
    void StartWindowMove(const QPoint& pressGlobal);
    // Moves the window fully onto the screen that holds it.
    void KeepOnScreen();

    std::unique_ptr<FrameWidget> widget_;
    IWindowProc* proc_ = nullptr;
    const IAccessibleWindow* accessible_ = nullptr;
    std::map<int, UINT> timers_; // Qt timer id -> our timer id
    bool destroyed_ = false;
    bool shown_ = false;
    // A window move by hand, where the window manager offers none: the
    // pointer's screen position and the window's position at the start.
    bool moving_ = false;
    QPoint moveStartPointer_;
    QPoint moveStartWindow_;
    bool moveRequested_ = false;
    // A press on the body waits for the pointer to travel past the drag
    // threshold with the button held before the window moves: a tap must
    // not leave a window manager's move waiting for a release it missed.
    bool movePending_ = false;
    QPoint movePressGlobal_;
    std::unique_ptr<NativeWindowWatch> watch_;
    std::vector<ToolInfo> tools_;
    bool tooltipsActive_ = false;
    bool surfaceFresh_ = false;
    const std::uint32_t* surface_ = nullptr;
    int surfaceWidth_ = 0;
    int surfaceHeight_ = 0;
    // The media's latest picture and where it shows; null when none shows.
    QImage mediaPicture_;
    QRect mediaRect_;
    // Receives the tasks of other threads on the UI thread; its queued calls
    // go with it when the host goes away.
    QObject tasks_;
};

} // namespace mixora
