// The wave recorder through a fake "waveaudio" device: the requests it sends
// with their exact flags and records, its states, and the format dialog's
// choices as sent and stored.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/language_text.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_wave_mci.h"
#include "fakes/frame_harness.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "recorder/record_format.h"
#include "recorder/record_format_dialog.h"
#include "recorder/wave_recorder.h"

using namespace mixora;
using ::testing::_;
using ::testing::Return;

namespace {

class FakeFileDialog final : public IFileDialog {
public:
    std::vector<FileDialogRequest> asked;
    std::optional<std::vector<std::string>> answer;
    std::optional<std::vector<std::string>> Run(const FileDialogRequest& r) override {
        asked.push_back(r);
        return answer;
    }
};

struct RecorderTest : ::testing::Test, FrameHarness {
    FakeWaveMci wave;
    MemoryProfile ini;
    FakeFileDialog files;
    FakeDialogRunner dialogs;
    CLanguageText language{records,
                           [](std::string_view, std::string_view, std::string&) { return false; }};
    CMainFrame frame{Services()};
    std::string rescue = ::testing::TempDir() + "mixora-rescue-test";
    std::unique_ptr<CWaveRecorder> rec = Make();

    std::unique_ptr<CWaveRecorder> Make() {
        return std::make_unique<CWaveRecorder>(
            RecorderServices{wave, records, ini, system, messages, files, dialogs, resources,
                             language, rescue, [] { return std::time_t{1796700000}; }});
    }
    void Record() {
        rec->StartRecording(frame);
        wave.length = 1500;
    }
};

constexpr std::uint32_t kSetFlags = 0x003E0400;

} // namespace

TEST_F(RecorderTest, FirstRecordOpensAnUntitledRecordingSetsTheStoredFormatAndRecordsAtTheEnd) {
    rec->StartRecording(frame);
    ASSERT_EQ(wave.Messages(),
              (std::vector<std::uint32_t>{MCI_OPEN, MCI_SET, MCI_SEEK, MCI_RECORD}));
    const auto& open = wave.requests[0];
    EXPECT_EQ(open.flags, 0x2202u);
    EXPECT_EQ(open.open.lpstrDeviceType, "waveaudio");
    EXPECT_EQ(open.open.lpstrElementName, "");
    // Defaults 1010/1015/1017: 22.05 kHz, 16 bits, stereo.
    const auto& set = wave.requests[1];
    EXPECT_EQ(std::tuple(set.device, set.flags, set.set.dwTimeFormat, set.set.wFormatTag),
              std::tuple(5u, kSetFlags, 0u, 1u));
    EXPECT_EQ(std::tuple(set.set.nChannels, set.set.nSamplesPerSec, set.set.nAvgBytesPerSec,
                         set.set.nBlockAlign, set.set.wBitsPerSample),
              std::tuple(2u, 22050u, 88200u, 4u, 16u));
    EXPECT_EQ(wave.requests[2].flags, MCI_SEEK_TO_END | MCI_NOTIFY);
    EXPECT_EQ(wave.requests[2].callback, 0u);
    EXPECT_EQ(wave.requests[3].flags, MCI_NOTIFY);
    EXPECT_EQ(wave.requests[3].callback, kMainWindowCallback);
    EXPECT_EQ(frame.m_nRecState, 3);

    // Stop and play back from the start, with a notice to the window; then
    // record again: no new device, the seek to the end first.
    rec->StopRecorder(frame);
    EXPECT_EQ(wave.Last(MCI_STOP)->flags, MCI_WAIT);
    EXPECT_EQ(frame.m_nRecState, 0);
    wave.requests.clear();
    rec->PlayRecording(frame);
    rec->StopRecorder(frame);
    rec->StartRecording(frame);
    ASSERT_EQ(wave.Messages(),
              (std::vector<std::uint32_t>{MCI_SEEK, MCI_PLAY, MCI_STOP, MCI_SEEK, MCI_RECORD}));
    EXPECT_EQ(wave.requests[0].flags, MCI_SEEK_TO_START | MCI_NOTIFY);
    EXPECT_EQ(std::tuple(wave.requests[1].flags, wave.requests[1].callback),
              std::tuple(MCI_NOTIFY, kMainWindowCallback));
    EXPECT_EQ(wave.requests[3].flags, MCI_SEEK_TO_END | MCI_NOTIFY);
}

TEST_F(RecorderTest, TheFormatSentFollowsTheStoredChoicesAndTheUserRateKey) {
    struct Case {
        int rate, size, channels;
        const char* userRate;
        std::uint32_t hz, avg, align, bits, ch;
    };
    // Byte rates as the WAVE format defines them: rate x channels x bytes.
    const Case cases[] = {
        {1009, 1014, 1016, nullptr, 11025, 11025, 1, 8, 1},
        {1012, 1014, 1017, "30000", 30000, 60000, 2, 8, 2},
        {1012, 1015, 1016, "48001", 22050, 44100, 2, 16, 1}, // out of range: 22050
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hz);
        ini.values = {{"Recording/SampRate", std::to_string(c.rate)},
                      {"Recording/SampSize", std::to_string(c.size)},
                      {"Recording/Channels", std::to_string(c.channels)}};
        if (c.userRate)
            ini.values["Recording/UserRate"] = c.userRate;
        records.g_wRecDevice = 0;
        rec = Make();
        rec->StartRecording(frame);
        const MCI_WAVE_SET_PARMS& s = wave.Last(MCI_SET)->set;
        EXPECT_EQ(s.nSamplesPerSec, c.hz);
        EXPECT_EQ(s.nAvgBytesPerSec, c.avg);
        EXPECT_EQ(s.nBlockAlign, c.align);
        EXPECT_EQ(s.wBitsPerSample, c.bits);
        EXPECT_EQ(s.nChannels, c.ch);
    }
}

TEST_F(RecorderTest, SaveAsksTheLengthFirstAndOffersAWaveFileDialogOnlyForARecording) {
    rec->StartRecording(frame);
    wave.length = 0;
    wave.requests.clear();
    rec->SaveRecordedData(frame);
    ASSERT_EQ(wave.Messages(), (std::vector<std::uint32_t>{MCI_STATUS}));
    EXPECT_EQ(wave.requests[0].flags, 0x102u);
    EXPECT_EQ(wave.requests[0].statusItem, MCI_STATUS_LENGTH);
    EXPECT_TRUE(files.asked.empty());

    wave.length = 2000;
    files.answer = std::nullopt; // cancelled
    rec->SaveRecordedData(frame);
    ASSERT_EQ(files.asked.size(), 1u);
    const FileDialogRequest& r = files.asked[0];
    EXPECT_EQ(std::tuple(r.kind, r.overwritePrompt, r.defaultExtension, r.initialName),
              std::tuple(FileDialogRequest::Kind::Save, true, "wav", ""));
    EXPECT_EQ(r.filters.at(0).patterns, "*.wav");
    EXPECT_EQ(wave.Last(MCI_SAVE), nullptr);

    // A failed save says so and keeps everything; a good one ends recording.
    files.answer = std::vector<std::string>{"/home/a/take.wav"};
    wave.failing = {MCI_SAVE};
    EXPECT_CALL(messages, MessageBox(::testing::HasSubstr("/home/a/take.wav"), "Mixora",
                                     MB_OK | MB_ICONWARNING));
    rec->SaveRecordedData(frame);
    EXPECT_EQ(frame.m_nRecState, 3);
    EXPECT_TRUE(rec->HoldsUnsavedRecording(frame));
    wave.failing = {};
    rec->SaveRecordedData(frame);
    EXPECT_EQ(wave.Last(MCI_SAVE)->flags, 0x102u);
    EXPECT_EQ(wave.Last(MCI_SAVE)->file, "/home/a/take.wav");
    EXPECT_EQ(frame.m_nRecState, 0);
    EXPECT_FALSE(rec->HoldsUnsavedRecording(frame));
}

TEST_F(RecorderTest, TheDialogTakesAUserRateOnlyFrom8To48KilohertzTruncated) {
    struct Case {
        const char* typed;
        std::int32_t rate;
        bool accepted;
    };
    const Case cases[] = {
        {"48.0009", 48000, true}, {"7.9999", 7999, false}, {"  +4.41e1kHz", 44100, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ::testing::Mock::VerifyAndClearExpectations(&messages);
        EXPECT_CALL(messages, MessageBox("Invalid Sampling Rate!", "ERROR", 0x30u))
            .Times(c.accepted ? 0 : 1);
        bool ended = true;
        int focus = 0;
        dialogs.script = [&](FakeDialogView& v, IDialogController& d) {
            d.OnCommand(v, 1012);
            v.texts[1013] = c.typed;
            d.OnCommand(v, kIdOk);
            ended = v.ended;
            focus = v.focus;
            if (!v.ended)
                d.OnCommand(v, kIdCancel);
        };
        rec->RunRecordFormatDialog(frame);
        EXPECT_EQ(rec->Records().g_userRate, c.rate);
        EXPECT_EQ(ended, c.accepted);
        EXPECT_EQ(focus, c.accepted ? 0 : 1013);
        if (c.accepted) {
            EXPECT_EQ(wave.Last(MCI_SET)->set.nSamplesPerSec, static_cast<std::uint32_t>(c.rate));
        }
    }
}

TEST_F(RecorderTest, TheDialogShowsTheStoredChoicesAndOkWritesThemInOrder) {
    ini.values = {{"Recording/SampRate", "1011"},
                  {"Recording/SampSize", "1014"},
                  {"Recording/Channels", "1099"}}; // hand-edited: no mark
    dialogs.script = [&](FakeDialogView& v, IDialogController& d) {
        EXPECT_TRUE(v.IsButtonChecked(1011) && v.IsButtonChecked(1014));
        EXPECT_FALSE(v.IsButtonChecked(1016) || v.IsButtonChecked(1017));
        d.OnCommand(v, 1016);
        d.OnCommand(v, kIdOk);
        EXPECT_TRUE(v.ended);
    };
    rec->RunRecordFormatDialog(frame);
    EXPECT_EQ(wave.Messages(), (std::vector<std::uint32_t>{MCI_OPEN, MCI_SET}));
    EXPECT_EQ(wave.Last(MCI_SET)->set.nSamplesPerSec, 44100u);
    EXPECT_EQ(wave.Last(MCI_SET)->set.nChannels, 1u);
    EXPECT_EQ(ini.writes,
              (std::vector<std::string>{"Recording/SampRate=1011", "Recording/SampSize=1014",
                                        "Recording/Channels=1016", "Recording/UserRate=22050"}));
}

TEST_F(RecorderTest, AnUnsavedRecordingGoesOnlyWhenThePersonSaysSo) {
    Record();
    rec->StopRecorder(frame);
    EXPECT_CALL(messages, MessageBox("The recording has not been saved. Discard it?", "Mixora",
                                     MB_YESNO | MB_ICONWARNING))
        .WillOnce(Return(IDNO))
        .WillOnce(Return(IDYES));
    dialogs.script = [](FakeDialogView& v, IDialogController& d) {
        d.OnCommand(v, kIdOk);
        if (!v.ended)
            d.OnCommand(v, kIdCancel);
    };
    rec->RunRecordFormatDialog(frame); // No: the device and its recording stay
    EXPECT_EQ(wave.Last(MCI_CLOSE), nullptr);
    rec->RunRecordFormatDialog(frame);
    EXPECT_EQ(std::tuple(wave.Last(MCI_CLOSE)->device, wave.Last(MCI_CLOSE)->flags),
              std::tuple(5u, MCI_WAIT));
    EXPECT_EQ(records.g_wRecDevice, 6u);

    Record();
    EXPECT_CALL(messages,
                MessageBox("The recording has not been saved. Save it before Mixora closes?",
                           "Mixora", MB_YESNOCANCEL | MB_ICONWARNING))
        .WillOnce(Return(IDCANCEL))
        .WillOnce(Return(IDYES));
    EXPECT_TRUE(rec->CancelClose(frame, true));
    files.answer = std::vector<std::string>{"/tmp/x.wav"};
    EXPECT_FALSE(rec->CancelClose(frame, true));
    EXPECT_EQ(wave.Last(MCI_SAVE)->file, "/tmp/x.wav");
}

TEST_F(RecorderTest, TheWindowAsksTheRecorderBeforeClosingAndBeforeClosingItsDevice) {
    using ::testing::InSequence;
    frame.OnCreate();
    EXPECT_CALL(recorder, CancelClose(_, true)).WillOnce(Return(true));
    EXPECT_CALL(host, DestroyWindow()).Times(0);
    frame.WindowProc(WM_CLOSE, 0, 0);
    ::testing::Mock::VerifyAndClearExpectations(&host);
    EXPECT_CALL(recorder, CancelClose(_, false)).WillOnce(Return(false));
    EXPECT_CALL(host, DestroyWindow());
    frame.WindowProc(WM_CLOSE, 0, kCloseWithoutAsking);

    records.g_wRecDevice = 9;
    InSequence order;
    EXPECT_CALL(recorder, RescueUnsavedRecording(_));
    EXPECT_CALL(mci, SendCommand(9, MCI_CLOSE, MCI_WAIT, nullptr));
    frame.WindowProc(WM_DESTROY, 0, 0);
}
