// Setting up the base skin: every bitmap copied out, both masks scanned,
// all 45 controls and the display areas built, the panels measured.
#include <benchmark/benchmark.h>

#include "app/main_frame.h"
#include "device/program_records.h"
#include "null_seams.h"
#include "skin/program_resources.h"

using namespace mixora;

namespace {

// A main window on seams that do nothing, with the base skin set up.
struct BenchFrame {
    bench::NullHost host;
    bench::NullProfile profile;
    bench::NullMci mci;
    bench::FixedSystem system;
    bench::NullEffects effects;
    bench::NullPlayback playback;
    bench::NullRecorder recorder;
    ProgramRecords records;
    CProgramResources resources;
    bench::NullMessages messages;
    bench::NullLauncher launcher;
    bench::NullText text;
    CMainFrame frame{{host, profile, system, mci, records, resources, messages, launcher, text,
                      effects, playback, recorder}};
    BenchFrame() {
        frame.OnCreate();
        frame.OnPaint();
    }
};

// A player that advances a second per tick, so every tick changes digits.
class TickingOps final : public bench::NullPlayback {
public:
    double t = 0;
    double PlayerPosition(CMainFrame&) override { return t += 1.0; }
};

} // namespace

static void BM_SetUpSkin(benchmark::State& state) {
    BenchFrame b;
    for (auto _ : state) {
        benchmark::DoNotOptimize(b.frame.SetUpSkin());
    }
}
BENCHMARK(BM_SetUpSkin)->Unit(benchmark::kMillisecond);

static void BM_PaintWholeWindow(benchmark::State& state) {
    BenchFrame b;
    for (auto _ : state) {
        b.frame.OnPaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintWholeWindow)->Unit(benchmark::kMicrosecond);

// One tick of timer 1 while a file plays: four digits, the seeking bar,
// the title and the playlist lines.
static void BM_TimerTick(benchmark::State& state) {
    BenchFrame b;
    TickingOps ticking;
    CMainFrame frame({b.host, b.profile, b.system, b.mci, b.records, b.resources, b.messages,
                      b.launcher, b.text, b.effects, ticking, b.recorder});
    frame.OnCreate();
    frame.OnPaint();
    frame.m_nPlayState = 2;
    frame.m_dLength = 1e9;
    frame.m_strLoadedPath = "/music/Some Artist - A Rather Long Title.ogg";
    for (int i = 0; i < 12; ++i)
        frame.m_playlist.push_back({"/music/track" + std::to_string(i) + ".ogg", 200});
    for (auto _ : state) {
        frame.OnTimer(1);
    }
}
BENCHMARK(BM_TimerTick)->Unit(benchmark::kMicrosecond);

// The pointer moving onto a button and off it again: two hover redraws.
static void BM_HoverRedraw(benchmark::State& state) {
    BenchFrame b;
    const RECT stop = b.frame.m_skin.Controls().Find(1002)->m_rgn.Bounds();
    const int x = (stop.left + stop.right) / 2, y = (stop.top + stop.bottom) / 2;
    for (auto _ : state) {
        b.frame.OnMouseMove(0, x, y);
        b.frame.OnMouseMove(0, x, y - 40);
    }
}
BENCHMARK(BM_HoverRedraw)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
