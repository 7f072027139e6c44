// The Qt window host's pointer, tooltip, power and native-window roads on the
// offscreen platform, and the debugger's logging category.
#include <QApplication>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "platform/qt/power_events.h"
#include "platform/qt/qt_debug_output.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

using Message = std::tuple<UINT, WPARAM, LPARAM>;

// Records every message; a press on the body (left of x 100) asks for a move.
struct BodyProc : IWindowProc {
    IWindowHost* host = nullptr;
    std::vector<Message> messages;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_ACTIVATE)
            return 0; // the offscreen platform activates when it likes
        messages.emplace_back(msg, w, l);
        if (msg == WM_LBUTTONDOWN && static_cast<std::int16_t>(l & 0xFFFF) < 100)
            host->BeginWindowMove();
        return 0;
    }
    std::vector<UINT> Ids() const {
        std::vector<UINT> ids;
        for (const auto& m : messages)
            ids.push_back(std::get<0>(m));
        return ids;
    }
};

struct HostFixture : ::testing::Test {
    QtWindowHost host;
    BodyProc proc;
    QWidget* w = nullptr;
    void SetUp() override {
        proc.host = &host;
        CREATESTRUCT cs;
        cs.style = WS_POPUP;
        cs.x = 100;
        cs.y = 100;
        cs.cx = 300;
        cs.cy = 200;
        ASSERT_TRUE(host.Create(cs, proc));
        host.ShowWindow(SW_SHOW);
        w = host.Widget();
        proc.messages.clear();
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    void Spin() {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

LPARAM Point(int x, int y) {
    return static_cast<LPARAM>(static_cast<std::uint16_t>(x) |
                               (static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16));
}

} // namespace

TEST_F(HostFixture, LeavingTheWindowIsAMoveOutsideEveryControlAndTooltipsShowWhileInactive) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
    ASSERT_EQ(proc.messages.size(), 1u);
    EXPECT_EQ(proc.messages[0], (Message{WM_MOUSEMOVE, 0, Point(-1, -1)}));
    EXPECT_TRUE(w->testAttribute(Qt::WA_AlwaysShowToolTips));
}

TEST_F(HostFixture, ABodyTapMovesNothingAndADragPastTheThresholdMovesTheWindow) {
    const QPoint start = w->pos();
    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {50, 50}, Qt::NoButton);
    Mouse(QEvent::MouseMove, {90, 80}, Qt::NoButton); // the button is up: no move
    EXPECT_EQ(w->pos(), start);
    // The release belongs to the move that never started; moves go on as usual.
    EXPECT_EQ(proc.Ids(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE}));

    proc.messages.clear();
    const int d = QApplication::startDragDistance();
    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {50 + d - 1, 50}, Qt::LeftButton); // not yet past it
    EXPECT_EQ(w->pos(), start);
    Mouse(QEvent::MouseMove, {50 + d, 50}, Qt::LeftButton);
    // No window manager here: moved by hand, from where the press was.
    Mouse(QEvent::MouseMove, {50 + d + 30, 70}, Qt::LeftButton);
    EXPECT_EQ(w->pos(), start + QPoint(d + 30, 20));
    Mouse(QEvent::MouseButtonRelease, {50 + d + 30, 70}, Qt::NoButton);
    EXPECT_EQ(proc.Ids(), std::vector<UINT>{WM_LBUTTONDOWN});

    // A press on a control is no move: its moves and release arrive.
    proc.messages.clear();
    Mouse(QEvent::MouseButtonPress, {150, 50}, Qt::LeftButton);
    Mouse(QEvent::MouseMove, {190, 50}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {190, 50}, Qt::NoButton);
    EXPECT_EQ(proc.Ids(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
}

TEST_F(HostFixture, ItsNativeWindowDestroyedFromOutsideEndsTheProgramTheNormalWay) {
    host.OnNativeWindowGone(static_cast<unsigned long>(w->winId()) + 1); // someone else's
    Spin();
    EXPECT_TRUE(proc.messages.empty());
    host.OnNativeWindowGone(static_cast<unsigned long>(w->winId()));
    Spin();
    EXPECT_EQ(proc.Ids(), std::vector<UINT>{WM_CLOSE});
}

TEST_F(HostFixture, TheStateIsSavedBeforeTheWindowHearsOfASuspend) {
    PowerEvents power(host);
    std::vector<std::string> order;
    power.SetBeforeSuspend(
        [&] { order.push_back(proc.messages.empty() ? "saved first" : "saved late"); });
    power.OnPrepareForSleep(true);
    Spin();
    power.OnPrepareForSleep(false); // waking up saves nothing
    Spin();
    EXPECT_EQ(order, std::vector<std::string>{"saved first"});
    EXPECT_EQ(proc.messages, (std::vector<Message>{{WM_POWERBROADCAST, PBT_APMSUSPEND, 0},
                                                   {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0}}));
}

TEST(QtDebugOutput, DebuggerLinesStayQuietUntilTheCategoryIsOn) {
    static std::vector<std::string> lines;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& m) {
            lines.push_back(std::string(context.category ? context.category : "") + ": " +
                            m.toStdString());
        });
    QtDebugOutput debug;
    debug.OutputDebugString("Not found!!!\n");
    EXPECT_TRUE(lines.empty());
    QLoggingCategory::setFilterRules(QStringLiteral("mixora.debug=true"));
    debug.OutputDebugString("Not found!!!\n");
    debug.OutputDebugString("Found it!!!");
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    EXPECT_EQ(lines, (std::vector<std::string>{"mixora: Not found!!!", "mixora: Found it!!!"}));
}
