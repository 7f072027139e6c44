#pragma once
// The main window on the desktop: a frameless Qt top-level widget whose
// events become the core's window messages.
#include <QWidget>
#include <map>
#include <memory>

#include "platform/window_host.h"

namespace mixora {

class QtWindowHost;

class FrameWidget final : public QWidget {
public:
    explicit FrameWidget(QtWindowHost& host);

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QtWindowHost& host_;
};

class QtWindowHost final : public IWindowHost {
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

    // True once the window was made and destroyed again.
    bool IsDestroyed() const { return destroyed_; }
    QWidget* Widget() { return widget_.get(); }

private:
    friend class FrameWidget;
    LRESULT Deliver(UINT msg, WPARAM wParam, LPARAM lParam);
    void OnQtTimer(int qtTimerId);

    std::unique_ptr<FrameWidget> widget_;
    IWindowProc* proc_ = nullptr;
    std::map<int, UINT> timers_; // Qt timer id -> our timer id
    bool destroyed_ = false;
    const std::uint32_t* surface_ = nullptr;
    int surfaceWidth_ = 0;
    int surfaceHeight_ = 0;
};

} // namespace mixora
