// The "waveaudio" device's Linux stand-in with real GStreamer pipelines: a
// generated 1 kHz tone is recorded, saved and read back as a wave file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "fakes/temp_dir.h"
#include "platform/gst/wave_audio_mci.h"
#include "platform/messages.h"

using namespace mixora;
using Clock = std::chrono::steady_clock;

namespace {

// A live tone in small buffers, so a stop cuts it within a few ms.
constexpr const char* kTone = "audiotestsrc freq=1000 volume=0.5 is-live=true samplesperbuffer=64";

class NoOtherDevices final : public IMci {
public:
    std::uint32_t SendCommand(std::uint32_t, std::uint32_t, std::uint32_t, void*) override {
        return MCIERR_INVALID_DEVICE_ID;
    }
};

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// The first channel (-1..1) of a canonical 44-byte-header PCM wave file,
// checking every header field against the format it should be in.
std::vector<double> ReadWave(const std::string& path, std::uint32_t rate, std::uint32_t bits,
                             std::uint32_t channels) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), {});
    std::vector<double> left;
    if (b.size() < 44) {
        ADD_FAILURE() << path << ": " << b.size() << " bytes";
        return left;
    }
    const std::uint32_t align = bits / 8 * channels;
    EXPECT_EQ(b.substr(0, 16), "RIFF" + b.substr(4, 4) + "WAVEfmt ");
    EXPECT_EQ(b.substr(36, 4), "data");
    // RIFF size, fmt size, PCM, channels, rate, byte rate, block, bits, data size.
    EXPECT_EQ(
        std::vector<std::uint32_t>({Le(b, 4, 4), Le(b, 16, 4), Le(b, 20, 2), Le(b, 22, 2),
                                    Le(b, 24, 4), Le(b, 28, 4), Le(b, 32, 2), Le(b, 34, 2),
                                    Le(b, 40, 4)}),
        std::vector<std::uint32_t>({std::uint32_t(b.size() - 8), 16, 1, channels, rate,
                                    rate * align, align, bits, std::uint32_t(b.size() - 44)}));
    for (std::size_t at = 44; at + align <= b.size(); at += align) {
        left.push_back(bits == 8 ? (static_cast<unsigned char>(b[at]) - 128) / 128.0
                                 : static_cast<std::int16_t>(Le(b, at, 2)) / 32768.0);
    }
    return left;
}

double Goertzel(const std::vector<double>& x, double hz, double rate) {
    const double k = 2 * std::cos(2 * M_PI * hz / rate);
    double s1 = 0, s2 = 0;
    for (double v : x) {
        const double s = v + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - k * s1 * s2) / static_cast<double>(x.size());
}

struct WaveAudioTest : ::testing::Test {
    TempDir dir;
    NoOtherDevices others;
    WaveAudioMci mci{others,
                     {dir.File("cache"), kTone, "fakesink sync=true"},
                     [](std::uintptr_t, std::uint32_t, std::uint32_t) {}};

    std::uint32_t Send(std::uint32_t id, std::uint32_t msg, std::uint32_t flags, void* p) {
        return mci.SendCommand(id, msg, flags, p);
    }
    // Opens a recording in the format; its id.
    std::uint32_t Open(std::uint32_t rate, std::uint16_t bits, std::uint16_t channels) {
        MCI_OPEN_PARMS open;
        open.lpstrDeviceType = "waveaudio";
        EXPECT_EQ(Send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open), 0u);
        MCI_WAVE_SET_PARMS set;
        set.nChannels = channels;
        set.nSamplesPerSec = rate;
        set.nAvgBytesPerSec = bits / 8u * channels * rate;
        set.nBlockAlign = static_cast<std::uint16_t>(bits * channels / 8);
        set.wBitsPerSample = bits;
        EXPECT_EQ(Send(open.wDeviceID, MCI_SET, 0x003E0400, &set), 0u);
        return open.wDeviceID;
    }
    // Records for `seconds`; the time the device was actually recording,
    // which starts when the record command has set the pipeline going.
    double Record(std::uint32_t id, double seconds) {
        MCI_RECORD_PARMS rec;
        rec.dwCallback = 1;
        const auto start = Clock::now();
        EXPECT_EQ(Send(id, MCI_RECORD, MCI_NOTIFY, &rec), 0u);
        const auto recording = Clock::now();
        std::this_thread::sleep_until(start + std::chrono::duration<double>(seconds));
        const auto stop = Clock::now();
        EXPECT_EQ(Send(id, MCI_STOP, MCI_WAIT, nullptr), 0u);
        return std::chrono::duration<double>(stop - recording).count();
    }
    std::uintptr_t Length(std::uint32_t id) {
        MCI_STATUS_PARMS s;
        s.dwItem = MCI_STATUS_LENGTH;
        EXPECT_EQ(Send(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &s), 0u);
        return s.dwReturn;
    }
    std::uint32_t Save(std::uint32_t id, const std::string& path) {
        MCI_SAVE_PARMS save;
        save.lpfilename = path;
        return Send(id, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, &save);
    }
};

} // namespace

TEST_F(WaveAudioTest, TwoSecondsOfToneAtTheSmallestAndLargestFormats) {
    struct Format {
        std::uint32_t rate;
        std::uint16_t bits, channels;
    };
    for (const Format f : {Format{11025, 8, 1}, Format{44100, 16, 2}}) {
        SCOPED_TRACE(f.rate);
        const std::uint32_t id = Open(f.rate, f.bits, f.channels);
        const double heard = Record(id, 2.0);
        ASSERT_EQ(Save(id, dir.File("tone.wav")), 0u);
        const auto left = ReadWave(dir.File("tone.wav"), f.rate, f.bits, f.channels);
        EXPECT_NEAR(static_cast<double>(left.size()) / f.rate, heard, 0.020);
        EXPECT_NEAR(static_cast<double>(Length(id)), heard * 1000, 20);
        // Half scale at 1 kHz is 0.25; a rate written wrong moves the tone.
        EXPECT_GT(Goertzel(left, 1000, f.rate), 0.2);
        EXPECT_EQ(Send(id, MCI_CLOSE, MCI_WAIT, nullptr), 0u);
    }
    // Every temporary recording went with its device.
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("cache")));
}

TEST_F(WaveAudioTest, AFailedSaveLeavesTheOldFileAndTheRecordingWhole) {
    const std::uint32_t id = Open(8000, 8, 1);
    Record(id, 0.5);
    const auto length = Length(id);
    const std::string locked = dir.File("locked");
    std::filesystem::create_directory(locked);
    dir.Write("locked/old.wav", "old take");
    ::chmod(locked.c_str(), 0555);
    // Root writes anywhere; /proc takes no files from anyone.
    const std::string target =
        ::access(locked.c_str(), W_OK) == 0 ? "/proc/mixora-take.wav" : locked + "/old.wav";
    EXPECT_EQ(Save(id, target), MCIERR_FILE_NOT_SAVED);
    EXPECT_EQ(dir.Read("locked/old.wav"), "old take");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(locked), {}), 1);
    EXPECT_EQ(Length(id), length);
    EXPECT_EQ(Save(id, dir.File("saved.wav")), 0u);
    EXPECT_NEAR(static_cast<double>(ReadWave(dir.File("saved.wav"), 8000, 8, 1).size()),
                8.0 * length, 8);
}
