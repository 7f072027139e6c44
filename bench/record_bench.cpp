// CPU and clock drift of the wave recorder's capture: records SECONDS
// (default 60) at 44.1 kHz, 16 bits, stereo through the real "waveaudio"
// stand-in and prints the process's CPU time per second of recording (all
// threads, GStreamer's included) and how far the recorded length strays from
// the wall clock. The source is the desktop's default one, or the GStreamer
// description in MIXORA_RECORD_SOURCE. bench/record_cpu.sh runs it against a
// private PulseAudio null sink.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/gst/wave_audio_mci.h"

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class NoOtherDevices final : public mixora::IMci {
public:
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return mixora::MCIERR_INVALID_DEVICE_ID;
    }
};

} // namespace

int main(int argc, char** argv) {
    using namespace mixora;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60.0;
    const char* source = std::getenv("MIXORA_RECORD_SOURCE");
    const std::string temp = std::filesystem::temp_directory_path() / "mixora-record-bench";
    NoOtherDevices others;
    WaveAudioMci mci(others, {temp, source ? source : "", "fakesink"}, nullptr);

    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "waveaudio";
    if (mci.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0) {
        std::fprintf(stderr, "cannot open the waveaudio device\n");
        return 1;
    }
    const std::uint32_t id = open.wDeviceID;
    MCI_WAVE_SET_PARMS set;
    set.wFormatTag = 1;
    set.nChannels = 2;
    set.nSamplesPerSec = 44100;
    set.nAvgBytesPerSec = 176400;
    set.nBlockAlign = 4;
    set.wBitsPerSample = 16;
    mci.SendCommand(id, MCI_SET, 0x003E0400, &set);

    MCI_RECORD_PARMS rec;
    if (mci.SendCommand(id, MCI_RECORD, 0, &rec) != 0) {
        std::fprintf(stderr, "cannot record (no sound server?)\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    std::this_thread::sleep_until(start + std::chrono::duration<double>(seconds));
    const double cpu = CpuSeconds() - cpuStart;
    const auto stop = std::chrono::steady_clock::now();
    mci.SendCommand(id, MCI_STOP, MCI_WAIT, nullptr);
    const double wall = std::chrono::duration<double>(stop - start).count();

    const WaveRecording* r = mci.Recording(id);
    const double recorded = static_cast<double>(r->LengthMs()) / 1000.0;
    std::printf("recorded %.3f s in %.3f s of wall clock: drift %+.1f ms\n", recorded, wall,
                (recorded - wall) * 1000.0);
    std::printf("CPU while recording 44.1 kHz stereo 16-bit: %.3f s = %.2f %% of one core\n", cpu,
                100.0 * cpu / wall);
    mci.SendCommand(id, MCI_CLOSE, MCI_WAIT, nullptr);
    return 0;
}
