#pragma once
// A playback window of plain fields and the real engine on fakes, with the
// real "cdaudio" device over a fake drive whose position moves with a fake
// clock.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "device/mixer_control.h"
#include "fakes/fake_cd_drive.h"
#include "fakes/fake_device_seams.h"
#include "fakes/fake_media.h"
#include "fakes/mock_frame_seams.h"
#include "fakes/temp_dir.h"
#include "media/playback_engine.h"
#include "platform/posix/cd_audio_device.h"
#include "platform/posix/posix_file_store.h"

namespace mixora {

// The window's buttons and sliders as plain maps, and its busy count.
class FakePlaybackWindow final : public CPlaybackWindow {
public:
    std::map<int, int> buttons;
    std::map<int, double> sliders;
    int busy = 0;

    int GetButtonState(int id) const override { return buttons.contains(id) ? buttons.at(id) : 0; }
    void SetButtonState(int id, int state) override { buttons[id] = state; }
    double GetSliderFraction(int id) const override {
        return sliders.contains(id) ? sliders.at(id) : 0.0;
    }
    void SetSliderFraction(int id, double f) override { sliders[id] = f; }
    void EraseTitle() override {}
    void RepaintPlaylist() override {}
    void AddBusy(int delta) override { busy += delta; }
    std::vector<std::string> Paths() const {
        std::vector<std::string> out;
        for (const auto& e : m_playlist) {
            out.push_back(e.path);
        }
        return out;
    }
};

struct PlaybackFixture : ::testing::Test {
    MediaWorld world;
    FakeMediaFactory factory{world};
    FakeCdDrive drive;
    FakeClock clock;
    FakeCdHost cdHost;
    FakeCdOutputFactory outputs{clock, cdHost};
    NoOtherMci other;
    CdAudioDevice cdDevice{drive, outputs, cdHost, other};
    RecordingMci mci{cdDevice};
    FakeMixer mixerDevice;
    CMixerControl mixer{mixerDevice};
    FakeFileDialog dialogs;
    TempDir dir; // playlist files are real files
    PosixFileStore files;
    ::testing::NiceMock<MockMessageBox> messages;
    FakeTaskHost tasks;
    // Three threads measure lengths, as on a small machine.
    CPlaybackEngine engine{{factory, mci, mixer, dialogs, files, messages, tasks, nullptr, 3}};
    FakePlaybackWindow window;

    // Lets the measuring threads finish and the appending run.
    void Settle() {
        tasks.RunUntil([this] { return !engine.IsAppending(); });
    }
};

} // namespace mixora
