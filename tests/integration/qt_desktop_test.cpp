// The window among the desktop's tools: screen readers, screens of every
// scale, and where it first shows.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "platform/qt/qt_window_host.h"
#include "platform/qt/screen_fit.h"

using namespace mixora;

namespace {

using Message = std::tuple<UINT, WPARAM, LPARAM>;

// A window with a mute button, a volume slider and a two-line playlist.
struct PanelProc : IWindowProc, IAccessibleWindow {
    std::vector<Message> messages;
    bool muted = true;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_COMMAND || msg == WM_MOUSEWHEEL)
            messages.emplace_back(msg, w, l);
        return 0;
    }
    std::vector<AccessibleControl> AccessibleControls() const override {
        return {{.id = 1007, .slider = false, .twoState = true, .on = muted},
                {.id = 1008, .slider = true, .value = 0.25}};
    }
    AccessiblePlaylist AccessibleList() const override {
        return {{10, 60, 110, 90}, {"a.ogg, 00:03", "b.ogg, 01:00"}, 1, 0};
    }
};

struct DesktopFixture : ::testing::Test {
    QtWindowHost host;
    PanelProc proc;
    void Make(int x, int y, int cx, int cy) {
        CREATESTRUCT cs;
        cs.style = WS_POPUP;
        cs.x = x;
        cs.y = y;
        cs.cx = cx;
        cs.cy = cy;
        ASSERT_TRUE(host.Create(cs, proc));
    }
    void Spin() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

} // namespace

TEST(ScreenFit, TheScaleIsTheNearestWholeNumber) {
    const std::pair<double, int> cases[] = {{1.0, 1}, {1.25, 1}, {1.5, 2}, {2.0, 2},
                                            {3.0, 3}, {1.75, 2}, {0.5, 1}};
    for (auto [ratio, scale] : cases)
        EXPECT_EQ(IntegerScale(ratio), scale) << ratio;
}

TEST(ScreenFit, AWindowOffTheScreenIsMovedFullyOntoIt) {
    const QRect screen(0, 30, 800, 570); // a panel takes the top 30 pixels
    EXPECT_EQ(FitOnScreen({100, 100, 300, 200}, screen), QRect(100, 100, 300, 200));
    EXPECT_EQ(FitOnScreen({700, 500, 300, 200}, screen), QRect(500, 400, 300, 200));
    EXPECT_EQ(FitOnScreen({-50, 0, 300, 200}, screen), QRect(0, 30, 300, 200));
    EXPECT_EQ(FitOnScreen({500, 100, 900, 200}, screen), QRect(0, 100, 900, 200));
    EXPECT_EQ(FitOnScreen({100, 2000, 300, 200}, QRect(800, 0, 1024, 768)),
              QRect(800, 568, 300, 200));
}

TEST_F(DesktopFixture, TheWindowStartsInsideTheScreenThatHoldsIt) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    Make(available.right() - 100, available.bottom() - 50, 300, 200);
    host.SetClientSize(300, 200);
    host.ShowWindow(SW_SHOW);
    Spin();
    EXPECT_TRUE(available.contains(host.Widget()->frameGeometry()))
        << host.Widget()->frameGeometry().x() << "," << host.Widget()->frameGeometry().y();
}

TEST_F(DesktopFixture, EverySkinPixelIsAWholeBlockOfScreenPixels) {
    Make(0, 0, 4, 2);
    host.SetClientSize(4, 2);
    const std::uint32_t picture[] = {0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xFFC08040,
                                     0xFF00FF00, 0xFF0000FF, 0xFFFF0000, 0xFF808080};
    host.SetSurface(picture, 4, 2);
    for (int scale : {2, 3}) {
        QImage shown(4 * scale, 2 * scale, QImage::Format_RGB32);
        shown.setDevicePixelRatio(scale);
        shown.fill(Qt::magenta);
        host.Widget()->render(&shown);
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                ASSERT_EQ(shown.pixel(x, y), picture[(y / scale) * 4 + x / scale])
                    << "scale " << scale << " at " << x << "," << y;
    }
    host.SetSurface(nullptr, 0, 0);
}

TEST_F(DesktopFixture, ScreenReadersFindEveryControlByItsTooltipAndCanUseIt) {
    Make(100, 100, 200, 100);
    host.SetClientSize(200, 100);
    host.SetTools({{1007, {10, 10, 30, 20}, "Mute"}, {1008, {40, 10, 120, 20}, "Volume"}});
    host.ShowWindow(SW_SHOW);
    Spin();
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(host.Widget());
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->childCount(), 3);

    QAccessibleInterface* mute = frame->child(0);
    EXPECT_EQ(mute->role(), QAccessible::Button);
    EXPECT_EQ(mute->text(QAccessible::Name), QStringLiteral("Mute"));
    EXPECT_TRUE(mute->state().checkable && mute->state().checked);
    proc.muted = false;
    EXPECT_FALSE(mute->state().checked);
    EXPECT_EQ(mute->rect(), QRect(host.Widget()->mapToGlobal(QPoint(10, 10)), QSize(20, 10)));
    EXPECT_EQ(frame->indexOfChild(mute), 0);

    QAccessibleInterface* volume = frame->child(1);
    EXPECT_EQ(volume->role(), QAccessible::Slider);
    EXPECT_EQ(volume->text(QAccessible::Name), QStringLiteral("Volume"));
    ASSERT_NE(volume->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(volume->valueInterface()->currentValue().toDouble(), 0.25);
    EXPECT_EQ(mute->valueInterface(), nullptr);

    // Pressing posts the button's command; a slider steps the way the
    // wheel does, over its middle pixel (79, 14).
    mute->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    volume->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
    volume->valueInterface()->setCurrentValue(0.15);
    Spin();
    const LPARAM middle = 79 | (14 << 16);
    EXPECT_EQ(proc.messages,
              (std::vector<Message>{
                  {WM_COMMAND, 1007, 0},
                  {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), middle},
                  {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<std::uint16_t>(-240)), middle}}));

    QAccessibleInterface* list = frame->child(2);
    EXPECT_EQ(list->role(), QAccessible::List);
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(1)->role(), QAccessible::ListItem);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("b.ogg, 01:00"));
    EXPECT_TRUE(list->child(1)->state().selected);
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_EQ(list->indexOfChild(list->child(1)), 1);
}
