// What one look at the CD drive costs when no disc is known, as the timer
// makes it three times a second with Check_Audio_CD=1: open the "cdaudio"
// device, ask whether a disc is in, close it, through the real CD-ROM calls.
// MIXORA_BENCH_CD_DEVICE names a real drive (empty or not) to measure too.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/posix/cd_audio_device.h"
#include "platform/posix/cdrom_drive.h"

namespace {

using namespace mixora;

struct NoSound final : ICdAudioOutputFactory {
    std::unique_ptr<ICdAudioOutput> CreateCdOutput(std::string*) override { return nullptr; }
};

struct NoHost final : IMediaHost {
    void PostTask(std::function<void()>) override {}
    LRESULT DeliverMessage(UINT, WPARAM, LPARAM) override { return 0; }
    void SetMediaPicture(const RECT&, const std::uint32_t*, int, int) override {}
};

struct NoOther final : IMci {
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return MCIERR_INVALID_DEVICE_ID;
    }
};

void Poll(benchmark::State& state, std::string device) {
    CdromDrive drive(device);
    NoSound sound;
    NoHost host;
    NoOther other;
    CdAudioDevice cd(drive, sound, host, other);
    std::int64_t present = 0;
    for (auto _ : state) {
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "cdaudio";
        if (cd.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE, &open) == 0) {
            MCI_STATUS_PARMS s;
            s.dwItem = MCI_STATUS_MEDIA_PRESENT;
            cd.SendCommand(open.wDeviceID, MCI_STATUS, MCI_STATUS_ITEM, &s);
            present += static_cast<std::int64_t>(s.dwReturn);
            cd.SendCommand(open.wDeviceID, MCI_CLOSE, 0, nullptr);
        }
    }
    state.counters["disc"] = static_cast<double>(present > 0);
}

} // namespace

int main(int argc, char** argv) {
    // The default drive (/dev/cdrom, else the first /dev/sr*): on a machine
    // without one, the poll ends at the failed open.
    benchmark::RegisterBenchmark("Poll/default_drive", Poll, std::string());
    // A node that opens but is no drive: the same calls an empty drive gets
    // (open, the drive-status ioctl, close), minus the drive's own answer.
    benchmark::RegisterBenchmark("Poll/node_without_disc", Poll, std::string("/dev/null"));
    if (const char* device = std::getenv("MIXORA_BENCH_CD_DEVICE")) {
        benchmark::RegisterBenchmark("Poll/named_drive", Poll, std::string(device));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
