#include "platform/qt/qt_window_host.h"

#include "platform/qt/display_text.h"
#include "platform/qt/qt_accessible.h"
#include "platform/qt/screen_fit.h"

#include <algorithm>

#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFrame>
#include <QHelpEvent>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QTimerEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <QWidgetAction>
#include <QWindow>
#include <xcb/xcb.h>

// The icon's pictures live in this static library: the program has to ask
// for them to be registered (outside any namespace, as the toolkit needs).
static void InitWindowIconResource() {
    Q_INIT_RESOURCE(window_icon);
}

namespace mixora {
namespace {

// A message posted to the window, waiting in the toolkit's event queue.
const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::User + 1);

class MessageEvent final : public QEvent {
public:
    MessageEvent(UINT msg, WPARAM w, LPARAM l) : QEvent(kMessageEvent), msg_(msg), w_(w), l_(l) {}
    UINT msg_;
    WPARAM w_;
    LPARAM l_;
};

// QMenu lays its actions out in one column. A menu with column breaks is
// shown as one panel of columns inside the popup instead, separated by a
// bar as a column break with a bar is; a click sets `chosen` and closes
// the popup.
QWidgetAction* MakeColumnsAction(QMenu& menu, const std::vector<MenuItem>& items,
                                 std::uint32_t& chosen) {
    auto* action = new QWidgetAction(&menu);
    auto* panel = new QWidget;
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    QVBoxLayout* column = nullptr;
    auto startColumn = [&] {
        if (column) {
            column->addStretch();
            auto* bar = new QFrame;
            bar->setFrameShape(QFrame::VLine);
            bar->setFrameShadow(QFrame::Sunken);
            row->addWidget(bar);
        }
        column = new QVBoxLayout;
        column->setSpacing(0);
        row->addLayout(column);
    };
    startColumn();
    for (const MenuItem& item : items) {
        if (item.columnBreak && column->count() > 0) {
            startColumn();
        }
        if (item.id == 0) {
            auto* line = new QFrame;
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            column->addWidget(line);
            continue;
        }
        // A bullet marks the radio-checked item, as menus show it.
        const QString text = DisplayString(item.text, item.encoding);
        LogShownText("menu", text);
        auto* button =
            new QPushButton(QString::fromUtf8(item.radioChecked ? "\u25CF  " : "     ") + text);
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(QStringLiteral(
            "QPushButton { text-align: left; padding: 3px 14px 3px 6px; border: none; }"
            "QPushButton:hover { background: palette(highlight);"
            " color: palette(highlighted-text); }"));
        const std::uint32_t id = item.id;
        QObject::connect(button, &QPushButton::clicked, &menu, [&menu, &chosen, id] {
            chosen = id;
            menu.close();
        });
        column->addWidget(button);
    }
    column->addStretch();
    action->setDefaultWidget(panel);
    return action;
}

} // namespace

FrameWidget::FrameWidget(QtWindowHost& host) : host_(host) {
    setWindowTitle(QStringLiteral("Mixora"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The window follows the pointer whether it is active or not, and so
    // do its tooltips.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Keys come to the window; no focus frame is ever drawn on a skin.
    setFocusPolicy(Qt::StrongFocus);
}

bool FrameWidget::event(QEvent* e) {
    if (e->type() == kMessageEvent) {
        auto* m = static_cast<MessageEvent*>(e);
        host_.Deliver(m->msg_, m->w_, m->l_);
        return true;
    }
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        if (host_.tooltipsActive_) {
            for (const ToolInfo& tool : host_.tools_) {
                QRect area(tool.rect.left, tool.rect.top, tool.rect.right - tool.rect.left,
                           tool.rect.bottom - tool.rect.top);
                if (area.contains(help->pos())) {
                    const QString text = DisplayString(tool.text, tool.encoding);
                    LogShownText("tooltip", text);
                    QToolTip::showText(help->globalPos(), text, this, area);
                    return true;
                }
            }
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QWidget::event(e);
}

namespace {

LPARAM PointParam(const QPoint& p) {
    // Client coordinates, signed 16 bits each, as pointer messages carry them.
    auto x = static_cast<std::uint16_t>(static_cast<std::int16_t>(p.x()));
    auto y = static_cast<std::uint16_t>(static_cast<std::int16_t>(p.y()));
    return static_cast<LPARAM>(static_cast<std::uint32_t>(x) |
                               (static_cast<std::uint32_t>(y) << 16));
}

WPARAM KeyFlags(Qt::MouseButtons buttons) {
    return (buttons & Qt::LeftButton) ? 0x0001 : 0;
}

} // namespace

void FrameWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        return;
    }
    host_.moveRequested_ = false;
    host_.movePending_ = false;
    host_.Deliver(WM_LBUTTONDOWN, KeyFlags(e->buttons()), PointParam(e->position().toPoint()));
    if (host_.moveRequested_) {
        host_.moveRequested_ = false;
        host_.movePending_ = true;
        host_.movePressGlobal_ = e->globalPosition().toPoint();
    }
}

void FrameWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        return;
    }
    if (host_.moving_ || host_.movePending_) {
        // The move consumes its release, as a system move loop would; a
        // press and release without travel moved nothing.
        host_.moving_ = false;
        host_.movePending_ = false;
        return;
    }
    host_.Deliver(WM_LBUTTONUP, KeyFlags(e->buttons()), PointParam(e->position().toPoint()));
}

void FrameWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        host_.Deliver(WM_LBUTTONDBLCLK, KeyFlags(e->buttons()),
                      PointParam(e->position().toPoint()));
    }
}

void FrameWidget::mouseMoveEvent(QMouseEvent* e) {
    if (host_.moving_) {
        move(host_.moveStartWindow_ + (e->globalPosition().toPoint() - host_.moveStartPointer_));
        return;
    }
    if (host_.movePending_) {
        if (!(e->buttons() & Qt::LeftButton)) {
            host_.movePending_ = false; // the release went elsewhere
        } else {
            const QPoint travel = e->globalPosition().toPoint() - host_.movePressGlobal_;
            if (travel.manhattanLength() >= QApplication::startDragDistance()) {
                host_.movePending_ = false;
                host_.StartWindowMove(host_.movePressGlobal_);
            }
            return; // the pointer belongs to the move until the release
        }
    }
    host_.Deliver(WM_MOUSEMOVE, KeyFlags(e->buttons()), PointParam(e->position().toPoint()));
}

void FrameWidget::leaveEvent(QEvent* e) {
    // The pointer left the window: a move to a point outside every control,
    // so a highlight goes as it does over the body. A held slider keeps its
    // capture and still gets the real moves; a window move owns the pointer.
    if (!host_.moving_ && !host_.movePending_ && QWidget::mouseGrabber() != this) {
        host_.Deliver(WM_MOUSEMOVE, KeyFlags(QGuiApplication::mouseButtons()),
                      PointParam(QPoint(-1, -1)));
    }
    QWidget::leaveEvent(e);
}

namespace {

// The window's virtual key for a Qt key; 0 for keys the window has no use
// for. Letters are their upper-case codes, as the window's keys are named.
WPARAM VirtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<WPARAM>('A' + (key - Qt::Key_A));
    }
    switch (key) {
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    default:
        return 0;
    }
}

} // namespace

void FrameWidget::keyPressEvent(QKeyEvent* e) {
    const WPARAM key = VirtualKey(e->key());
    // A held arrow repeats (stepping, volume); a held letter toggles once.
    const bool arrow = key >= VK_LEFT && key <= VK_DOWN;
    // Alt and Super chords belong to the desktop, not to the window's keys.
    const bool desktopChord = (e->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (key == 0 || desktopChord || (e->isAutoRepeat() && !arrow)) {
        QWidget::keyPressEvent(e);
        return;
    }
    const LPARAM control = (e->modifiers() & Qt::ControlModifier) ? kKeyControl : 0;
    host_.Deliver(WM_KEYDOWN, key, control);
}

void FrameWidget::wheelEvent(QWheelEvent* e) {
    // A sideways turn counts as well: some mice and touchpads only have that.
    const QPoint angle = e->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : -angle.x();
    if (delta == 0) {
        return;
    }
    const auto turn =
        static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(delta, -32768, 32767)));
    host_.Deliver(WM_MOUSEWHEEL,
                  MAKEWPARAM(static_cast<std::uint16_t>(KeyFlags(e->buttons())), turn),
                  PointParam(e->position().toPoint()));
}

void FrameWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange) {
        host_.Deliver(WM_ACTIVATE, isActiveWindow() ? 1 : 0, 0);
    }
    QWidget::changeEvent(e);
}

void FrameWidget::timerEvent(QTimerEvent* e) {
    host_.OnQtTimer(e->timerId());
}

void FrameWidget::closeEvent(QCloseEvent* e) {
    // A close asked by the desktop (window manager, session) takes the same
    // road as the program's own: WM_CLOSE, so the settings are written.
    e->ignore();
    if (!host_.destroyed_) {
        host_.PostMessage(WM_CLOSE, 0, 0);
    }
}

void FrameWidget::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    // At a scale of 2 or 3 each skin pixel becomes a square block of screen
    // pixels, never a blend of its neighbours.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!host_.surface_) {
        p.fillRect(e->rect(), Qt::black);
        return;
    }
    // The core keeps its picture up to date as things change; it is asked
    // to compose the whole of it only when the picture is new.
    if (host_.surfaceFresh_) {
        host_.surfaceFresh_ = false;
        host_.Deliver(WM_PAINT, 0, 0);
    }
    QImage image(reinterpret_cast<const uchar*>(host_.surface_), host_.surfaceWidth_,
                 host_.surfaceHeight_, host_.surfaceWidth_ * 4, QImage::Format_RGB32);
    p.drawImage(e->rect(), image, e->rect());
    // The media's picture covers its rectangle; the outline (the mask)
    // clips it like everything else the window shows.
    const QRect media = e->rect() & host_.mediaRect_;
    if (!host_.mediaPicture_.isNull() && !media.isEmpty()) {
        p.setClipRect(media);
        p.drawImage(host_.mediaRect_, host_.mediaPicture_);
    }
}

bool NativeWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) == XCB_DESTROY_NOTIFY) {
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
        host_.OnNativeWindowGone(destroyed->window);
    }
    return false;
}

QtWindowHost::QtWindowHost() = default;

QtWindowHost::~QtWindowHost() {
    if (watch_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(watch_.get());
    }
}

void QtWindowHost::OnNativeWindowGone(unsigned long nativeId) {
    // Only the window the widget stands on now: one the toolkit replaced
    // itself carries an id the widget no longer has.
    if (!widget_ || destroyed_ || nativeId == 0 ||
        nativeId != static_cast<unsigned long>(widget_->internalWinId())) {
        return;
    }
    PostMessage(WM_CLOSE, 0, 0);
}

void QtWindowHost::StartWindowMove(const QPoint& pressGlobal) {
    QWindow* window = widget_->windowHandle();
    if (window && window->startSystemMove()) {
        return;
    }
    moving_ = true;
    moveStartPointer_ = pressGlobal;
    moveStartWindow_ = widget_->pos();
}

namespace {

// The program's icon at every size it is drawn at; the desktop entry names
// the same picture, and "mixora" ties the window to that entry.
QIcon WindowIcon() {
    InitWindowIconResource();
    QIcon icon;
    // Up to 64 pixels: what title bars, task bars and switchers draw; the
    // larger pictures are the launcher's, from the installed theme.
    for (int size : {16, 22, 24, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/mixora/mixora-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

bool QtWindowHost::Create(const CREATESTRUCT& cs, IWindowProc& proc) {
    QGuiApplication::setDesktopFileName(QStringLiteral("mixora"));
    widget_ = std::make_unique<FrameWidget>(*this);
    widget_->setWindowIcon(WindowIcon());
    Qt::WindowFlags flags = Qt::Window;
    if (cs.style & WS_POPUP) {
        flags |= Qt::FramelessWindowHint;
    }
    widget_->setWindowFlags(flags);
    widget_->setGeometry(cs.x, cs.y, cs.cx, cs.cy);
    proc_ = &proc;
    accessible_ = dynamic_cast<const IAccessibleWindow*>(&proc);
    InstallFrameAccessibility();
    if (proc.WindowProc(WM_CREATE, 0, 0) == -1) {
        proc_ = nullptr;
        accessible_ = nullptr;
        widget_.reset();
        return false;
    }
    return true;
}

LRESULT QtWindowHost::Deliver(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc_) {
        return 0; // posted before the window went away
    }
    return proc_->WindowProc(msg, wParam, lParam);
}

void QtWindowHost::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (widget_) {
        QCoreApplication::postEvent(widget_.get(), new MessageEvent(msg, wParam, lParam));
    }
}

UINT QtWindowHost::SetTimer(UINT id, UINT elapseMs) {
    if (!widget_ || id == 0) {
        return 0;
    }
    KillTimer(id);
    int qtId = widget_->startTimer(static_cast<int>(elapseMs));
    if (qtId == 0) {
        return 0;
    }
    timers_[qtId] = id;
    return id;
}

bool QtWindowHost::KillTimer(UINT id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second == id) {
            if (widget_) {
                widget_->killTimer(it->first);
            }
            timers_.erase(it);
            return true;
        }
    }
    return false;
}

void QtWindowHost::OnQtTimer(int qtTimerId) {
    auto it = timers_.find(qtTimerId);
    if (it != timers_.end()) {
        Deliver(WM_TIMER, it->second, 0);
    }
}

void QtWindowHost::ShowWindow(int nCmdShow) {
    if (!widget_) {
        return;
    }
    if (!shown_ && nCmdShow != SW_HIDE) {
        shown_ = true;
        KeepOnScreen();
    }
    if (nCmdShow == SW_HIDE) {
        widget_->hide();
    } else if (nCmdShow == SW_MINIMIZE) {
        widget_->showMinimized();
    } else {
        widget_->show();
    }
    if (!watch_ && QGuiApplication::platformName() == QLatin1String("xcb")) {
        watch_ = std::make_unique<NativeWindowWatch>(*this);
        QCoreApplication::instance()->installNativeEventFilter(watch_.get());
    }
}

void QtWindowHost::KeepOnScreen() {
    // The screen that holds the window's centre, else the one holding its
    // corner, else the first: a position saved on a screen that is gone
    // brings the window back onto one that is there.
    const QRect frame = widget_->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen) {
        screen = QGuiApplication::screenAt(frame.topLeft());
    }
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (!screen) {
        return;
    }
    const QRect fitted = FitOnScreen(frame, screen->availableGeometry());
    if (fitted.topLeft() != frame.topLeft()) {
        widget_->move(widget_->pos() + (fitted.topLeft() - frame.topLeft()));
    }
}

void QtWindowHost::UpdateWindow() {
    if (widget_ && widget_->isVisible()) {
        widget_->repaint();
    }
}

void QtWindowHost::SetClientSize(int cx, int cy) {
    if (widget_) {
        widget_->setFixedSize(cx, cy);
    }
}

void QtWindowHost::SetWindowRgn(std::span<const RECT> rects, bool redraw) {
    if (!widget_) {
        return;
    }
    QRegion region;
    for (const RECT& r : rects) {
        region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    if (region.isEmpty()) {
        widget_->clearMask();
    } else {
        widget_->setMask(region);
    }
    if (redraw) {
        widget_->update();
    }
}

void QtWindowHost::SetSurface(const std::uint32_t* pixels, int width, int height) {
    surface_ = pixels;
    surfaceFresh_ = pixels != nullptr;
    surfaceWidth_ = pixels ? width : 0;
    surfaceHeight_ = pixels ? height : 0;
    if (widget_) {
        widget_->update();
    }
}

void QtWindowHost::InvalidateRect(const RECT* rc) {
    if (!widget_) {
        return;
    }
    if (rc) {
        widget_->update(QRect(rc->left, rc->top, rc->right - rc->left, rc->bottom - rc->top));
    } else {
        widget_->update();
    }
}

POINT QtWindowHost::ClientToScreen(POINT pt) {
    if (!widget_) {
        return pt;
    }
    QPoint g = widget_->mapToGlobal(QPoint(pt.x, pt.y));
    return {g.x(), g.y()};
}

void QtWindowHost::TrackPopupMenu(const std::vector<MenuItem>& items, POINT screen) {
    if (!widget_) {
        return;
    }
    QMenu menu(widget_.get());
    if (std::any_of(items.begin(), items.end(),
                    [](const MenuItem& item) { return item.columnBreak; })) {
        std::uint32_t chosen = 0;
        menu.addAction(MakeColumnsAction(menu, items, chosen));
        menu.exec(QPoint(screen.x, screen.y));
        if (chosen != 0) {
            PostMessage(WM_COMMAND, chosen, 0);
        }
        return;
    }
    QActionGroup group(&menu);
    group.setExclusive(true);
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu.addSeparator();
            continue;
        }
        const QString text = DisplayString(item.text, item.encoding);
        LogShownText("menu", text);
        QAction* action = menu.addAction(text);
        action->setData(static_cast<uint>(item.id));
        action->setCheckable(true);
        action->setChecked(item.radioChecked);
        group.addAction(action);
    }
    QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
    if (chosen) {
        PostMessage(WM_COMMAND, chosen->data().toUInt(), 0);
    }
}

void QtWindowHost::SetCapture() {
    if (widget_) {
        widget_->grabMouse();
    }
}

void QtWindowHost::ReleaseCapture() {
    if (widget_) {
        widget_->releaseMouse();
    }
}

void QtWindowHost::BeginWindowMove() {
    // Asked from inside the press; the move starts once the press returns.
    moveRequested_ = true;
}

void QtWindowHost::SetTools(const std::vector<ToolInfo>& tools) {
    tools_ = tools;
}

void QtWindowHost::ActivateTooltips(bool active) {
    tooltipsActive_ = active;
}

void QtWindowHost::PostTask(std::function<void()> task) {
    QMetaObject::invokeMethod(&tasks_, std::move(task), Qt::QueuedConnection);
}

LRESULT QtWindowHost::DeliverMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Deliver(msg, wParam, lParam);
}

void QtWindowHost::SetMediaPicture(const RECT& rect, const std::uint32_t* pixels, int width,
                                   int height) {
    const QRect before = mediaPicture_.isNull() ? QRect() : mediaRect_;
    if (pixels && width > 0 && height > 0) {
        mediaPicture_ = QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                               QImage::Format_RGB32)
                            .copy();
        mediaRect_ = QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    } else {
        mediaPicture_ = QImage();
        mediaRect_ = QRect();
    }
    if (widget_) {
        // Only the area that changed: the old place of the picture and the new.
        widget_->update(QRegion(before) + QRegion(mediaRect_));
    }
}

void QtWindowHost::DestroyWindow() {
    if (!widget_ || destroyed_) {
        return;
    }
    Deliver(WM_DESTROY, 0, 0);
    for (const auto& [qtId, id] : timers_) {
        widget_->killTimer(qtId);
    }
    timers_.clear();
    proc_ = nullptr;
    accessible_ = nullptr;
    destroyed_ = true;
    widget_->hide();
    // We may be inside one of the widget's own event handlers: let the loop
    // delete it once that handler has returned.
    widget_.release()->deleteLater();
    QCoreApplication::quit();
}

} // namespace mixora
