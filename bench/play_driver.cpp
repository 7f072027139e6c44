// Plays one file through the program's media control, with the equalizer
// on, until it ends or for a given time: the process the playback
// benchmark measures. Prints what the control reports, one line each.
//   mixora_play_driver FILE [SECONDS] [--show] [--change-at SECONDS]
// --change-at turns every band to -12 dB at that time and prints the wall
// clock of the change (ns since the epoch): when it is heard is measured
// outside, on what reaches the sound server.
#include <QApplication>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/effect_driver/effect_hub.h"
#include "platform/gst/effect_element.h"
#include "platform/gst/gst_media_factory.h"
#include "platform/qt/qt_window_host.h"

using namespace mixora;

namespace {

struct EndWatcher : IWindowProc {
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM) override {
        if (msg == WM_MEDIA_EVENT && HIWORD(w) == kMediaEventEndOfStream) {
            std::printf("end of media\n");
            QCoreApplication::quit();
        }
        return 0;
    }
};

// A bass lift and treble cut, every band away from 0 dB, so that each of
// the ten filters does real work.
EffectState Equalizer(std::array<int, 10> gains = {1000, 900, 800, 320, 150, -320, -500, -670, -800,
                                                   -800}) {
    EffectState s;
    s.eq[0] = 0xFF;
    s.eq[1] = 0x03;
    for (int i = 0; i < 10; ++i) {
        const auto v = static_cast<std::uint32_t>(gains[i]);
        for (int b = 0; b < 4; ++b) {
            s.eq[kEqBandOffsets[i] + b] = static_cast<std::uint8_t>(v >> (8 * b));
        }
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [SECONDS] [--show] [--change-at SECONDS]\n", argv[0]);
        return 2;
    }
    double seconds = 0.0;
    double changeAt = 0.0;
    bool show = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show") == 0) {
            show = true;
        } else if (std::strcmp(argv[i], "--change-at") == 0 && i + 1 < argc) {
            changeAt = std::atof(argv[++i]);
        } else {
            seconds = std::atof(argv[i]);
        }
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QtWindowHost host;
    EndWatcher proc;
    CREATESTRUCT cs;
    cs.style = WS_POPUP;
    cs.cx = 340;
    cs.cy = 260;
    if (!host.Create(cs, proc)) {
        return 1;
    }
    if (show) {
        host.ShowWindow(SW_SHOW);
    }
    EffectHub effects;
    GstMediaControlFactory factory(host, {.audioSink = {}, .log = nullptr, .effects = &effects});
    std::string why;
    auto control = factory.Create(1168, RECT{10, 10, 330, 250}, true, &why);
    if (!control) {
        std::fprintf(stderr, "no media control: %s\n", why.c_str());
        return 1;
    }
    effects.SetState(Equalizer());
    control->PutSwitch(kMediaSwitchAutoRewind, false);
    control->PutFileName(argv[1]);
    std::printf("duration %.3f s, picture %d, state %d\n", control->GetDuration(),
                control->GetHasPicture(), control->GetPlayState());
    std::fflush(stdout);
    if (seconds > 0.0) {
        QTimer::singleShot(static_cast<int>(seconds * 1000), &app, &QApplication::quit);
    }
    if (changeAt > 0.0) {
        QTimer::singleShot(static_cast<int>(changeAt * 1000), Qt::PreciseTimer, &app, [&effects] {
            effects.SetState(
                Equalizer({-1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200, -1200}));
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("changed at %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
        });
    }
    QApplication::exec();
    std::printf("position %.3f s, state %d\n", control->GetCurrentPosition(),
                control->GetPlayState());
    return 0;
}
