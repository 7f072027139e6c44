// The Qt window host on the offscreen platform: creation parameters, message
// order, timers and destruction.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

struct Recorder : IWindowProc {
    std::vector<UINT> messages;
    std::function<void(UINT, WPARAM)> onMessage;
    LRESULT createResult = 0;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM) override {
        messages.push_back(msg);
        if (onMessage)
            onMessage(msg, w);
        return msg == WM_CREATE ? createResult : 0;
    }
};

CREATESTRUCT PopupAt300x200() {
    CREATESTRUCT cs;
    cs.style = WS_POPUP | WS_SYSMENU;
    cs.x = 300;
    cs.y = 200;
    cs.cx = 300;
    cs.cy = 300;
    return cs;
}

void SpinUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

} // namespace

TEST(QtWindowHost, CreateAnsweredWithMinusOneLeavesNoWindow) {
    QtWindowHost host;
    Recorder proc;
    proc.createResult = -1;
    EXPECT_FALSE(host.Create(PopupAt300x200(), proc));
    EXPECT_EQ(host.Widget(), nullptr);
}

TEST(QtWindowHost, PostedMessagesArriveAfterTheCurrentHandlerReturns) {
    QtWindowHost host;
    Recorder proc;
    ASSERT_TRUE(host.Create(PopupAt300x200(), proc));
    proc.onMessage = [&](UINT msg, WPARAM) {
        if (msg == WM_COMMAND) {
            host.PostMessage(WM_COMMAND + 1000, 0, 0);
            proc.messages.push_back(0xFFFF); // end of this handler
        }
    };
    host.PostMessage(WM_COMMAND, 1082, 0);
    EXPECT_EQ(proc.messages.size(), 1u); // nothing delivered from inside PostMessage
    SpinUntil([&] { return proc.messages.size() >= 4; });
    EXPECT_EQ(proc.messages, (std::vector<UINT>{WM_CREATE, WM_COMMAND, 0xFFFF, WM_COMMAND + 1000}));
}

TEST(QtWindowHost, DestroySendsDestroyOnceAndDropsLaterMessages) {
    QtWindowHost host;
    Recorder proc;
    ASSERT_TRUE(host.Create(PopupAt300x200(), proc));
    host.SetTimer(1, 10);
    host.PostMessage(WM_COMMAND, 1, 0);
    host.DestroyWindow();
    host.DestroyWindow();
    SpinUntil([] { return false; }, 100);
    EXPECT_EQ(proc.messages, (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
    EXPECT_TRUE(host.IsDestroyed());
}

int main(int argc, char** argv) {
    // Test discovery runs this binary too, without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
