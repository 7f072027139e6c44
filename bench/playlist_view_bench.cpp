// The playlist view with 100,000 entries: how long one redraw of its lines
// takes with the real text rasteriser, as the scrollbar moves through it.
// Run with QT_QPA_PLATFORM=offscreen.
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/main_frame.h"
#include "device/program_records.h"
#include "null_seams.h"
#include "platform/qt/qt_text_rasterizer.h"
#include "skin/program_resources.h"

using namespace mixora;

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
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
    QtTextRasterizer text;
    CMainFrame frame({host, profile, system, mci, records, resources, messages, launcher, text,
                      effects, playback, recorder});
    frame.OnCreate();
    frame.OnPaint();
    constexpr int kEntries = 100000;
    for (int i = 0; i < kEntries; ++i) {
        frame.m_playlist.push_back({"/home/someone/Music/Artist " + std::to_string(i % 97) +
                                        "/Track " + std::to_string(i) +
                                        " - A Fairly Long Title.flac",
                                    60.0 + i % 300});
    }
    std::vector<double> times;
    for (int step = 0; step < 400; ++step) {
        // Scroll to a new place each time, as dragging the scrollbar does.
        frame.m_nTopIndex = static_cast<int>((static_cast<long long>(step) * 7919) % kEntries);
        const auto t0 = std::chrono::steady_clock::now();
        frame.RefreshPlaylist();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("playlist of %d entries, %d visible lines: redraw median %.3f ms, "
                "95th percentile %.3f ms, worst %.3f ms\n",
                kEntries, frame.m_nVisibleLines, times[times.size() / 2],
                times[times.size() * 95 / 100], times.back());
    return 0;
}
