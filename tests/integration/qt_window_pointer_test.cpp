// The Qt window host's power road on the offscreen platform, and the
// debugger's logging category.
#include <QApplication>
#include <QLoggingCategory>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "platform/qt/power_events.h"
#include "platform/qt/qt_debug_output.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

using Message = std::tuple<UINT, WPARAM, LPARAM>;

struct Recorder : IWindowProc {
    std::vector<Message> messages;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg != WM_ACTIVATE) // the offscreen platform activates when it likes
            messages.emplace_back(msg, w, l);
        return 0;
    }
};

void Spin() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(QtWindowPower, TheStateIsSavedBeforeTheWindowHearsOfASuspend) {
    QtWindowHost host;
    Recorder proc;
    CREATESTRUCT cs;
    cs.style = WS_POPUP;
    cs.cx = 300;
    cs.cy = 200;
    ASSERT_TRUE(host.Create(cs, proc));
    proc.messages.clear();
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
