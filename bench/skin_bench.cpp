// Setting up the base skin: every bitmap copied out, both masks scanned,
// all 45 controls and the display areas built, the panels measured.
#include <benchmark/benchmark.h>

#include "app/inert_command_operations.h"
#include "app/inert_frame_operations.h"
#include "app/main_frame.h"
#include "app/program_records.h"
#include "null_seams.h"
#include "skin/program_resources.h"

using namespace mixora;

static void BM_SetUpSkin(benchmark::State& state) {
    bench::NullHost host;
    bench::NullProfile profile;
    bench::NullMci mci;
    bench::FixedSystem system;
    CInertFrameOperations ops;
    ProgramRecords records;
    CProgramResources resources;
    bench::NullMessages messages;
    bench::NullLauncher launcher;
    bench::NullText text;
    CInertCommandOperations commands;
    CMainFrame frame({host, profile, system, mci, ops, records, resources, messages, launcher, text, commands});
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame.SetUpSkin());
    }
}
BENCHMARK(BM_SetUpSkin)->Unit(benchmark::kMillisecond);

static void BM_PaintWholeWindow(benchmark::State& state) {
    bench::NullHost host;
    bench::NullProfile profile;
    bench::NullMci mci;
    bench::FixedSystem system;
    CInertFrameOperations ops;
    ProgramRecords records;
    CProgramResources resources;
    bench::NullMessages messages;
    bench::NullLauncher launcher;
    bench::NullText text;
    CInertCommandOperations commands;
    CMainFrame frame({host, profile, system, mci, ops, records, resources, messages, launcher, text, commands});
    frame.SetUpSkin();
    for (auto _ : state) {
        frame.OnPaint();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintWholeWindow)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
