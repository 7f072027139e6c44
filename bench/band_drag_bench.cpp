// What one step of an equalizer band drag costs the UI thread: the band's
// property request through the channel to the software effect device, whose
// state lives in registry.reg. Run it on the disk the settings live on:
//
//   mixora_band_drag_bench [folder]   (default: $HOME/.cache/mixora-bench)
//
// Prints the median, 95th percentile and worst step in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "device/program_records.h"
#include "device/property_channel.h"
#include "platform/effect_driver/software_effect_device.h"
#include "platform/posix/registry_store.h"
#include "platform/system_info.h"

namespace {

struct QuietDebug final : mixora::IDebugOutput {
    void OutputDebugString(const std::string&) override {}
};

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
    return v[i];
}

} // namespace

int main(int argc, char** argv) {
    using namespace mixora;
    using Clock = std::chrono::steady_clock;
    const char* home = std::getenv("HOME");
    const std::filesystem::path dir =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::path(home ? home : "/tmp") / ".cache/mixora-bench";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "registry.reg").string();

    // Once as every change used to be handled (written before the request
    // returns), once with the settle timer the program arms.
    for (const bool settled : {false, true}) {
        std::filesystem::remove(file);
        QuietDebug debug;
        ProgramRecords records;
        RegistryStore registry(file, &debug);
        SoftwareEffectDevice device(registry, {});
        int armed = 0;
        if (settled) {
            // Arming the program's single-shot timer is all a step does.
            device.SetSaveTimer([&armed](std::chrono::milliseconds) { ++armed; });
        }
        CPropertyChannel channel(device, debug, records);
        // The software device's place in the hardware-id table, as
        // discovery at start-up finds it.
        channel.g_hwIdIndex = 19;

        constexpr int kSteps = 400;
        std::vector<double> ms;
        ms.reserve(kSteps);
        for (int i = 0; i < kSteps; ++i) {
            // A drag sweeps band 2 up and down its range, one pixel at a time.
            std::int32_t gain = -1200 + (i * 37) % 2400;
            const auto t0 = Clock::now();
            if (!channel.EnsureDevice() || !channel.SetEqProperty(4, &gain)) {
                std::fprintf(stderr, "the device did not take the band\n");
                return 1;
            }
            channel.ReleaseDevice();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        const auto t0 = Clock::now();
        device.SaveState(); // what the timer does once the drag has settled
        const double once = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
        std::printf("%s, band drag step on the UI thread (%d steps, %s):\n",
                    settled ? "written when settled" : "written every step", kSteps, file.c_str());
        std::printf("  median %.4f ms, p95 %.4f ms, worst %.4f ms\n", Percentile(ms, 0.5),
                    Percentile(ms, 0.95), Percentile(ms, 1.0));
        if (settled) {
            std::printf("  timer armed %d times; the one write after the drag: %.4f ms\n", armed,
                        once);
        }
    }
    std::filesystem::remove(file);
    return 0;
}
