// The wave recorder through a fake "waveaudio" device: the requests it sends
// with their flags and records, its states, and the format dialog's choices
// as sent and stored.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

#include "device/language_text.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_wave_mci.h"
#include "fakes/frame_harness.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "recorder/wave_recorder.h"

using namespace mixora;
using ::testing::_;
using ::testing::Return;
using Msgs = std::vector<std::uint32_t>;

namespace {

class FakeFileDialog final : public IFileDialog {
public:
    std::vector<FileDialogRequest> requests;
    std::deque<std::vector<std::string>> answers; // none left: cancelled
    std::optional<std::vector<std::string>> Run(const FileDialogRequest& r) override {
        requests.push_back(r);
        if (answers.empty())
            return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
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
    std::unique_ptr<CWaveRecorder> rec = Make();

    std::unique_ptr<CWaveRecorder> Make() {
        return std::make_unique<CWaveRecorder>(RecorderServices{
            wave, records, ini, system, messages, files, dialogs, resources, language,
            ::testing::TempDir() + "mixora-rescue-test", [] { return std::time_t{1796700000}; }});
    }
    // The format dialog: `press` then OK, and Cancel if OK left it open.
    void FormatDialog(std::vector<int> press, const char* typedRate = "") {
        dialogs.script = [=](FakeDialogView& v, IDialogController& d) {
            v.texts[1013] = typedRate;
            for (int id : press)
                d.OnCommand(v, id);
            d.OnCommand(v, kIdOk);
            if (!v.ended)
                d.OnCommand(v, kIdCancel);
        };
        rec->RunRecordFormatDialog(frame);
    }
};

} // namespace

// Record, Stop, Save and recording on in the first-run format are what the
// recorder's end-to-end script does with the real device; playing back is not.
TEST_F(RecorderTest, PlayBackStartsAtTheBeginningAndTellsTheWindowWhenItEnds) {
    rec->StartRecording(frame);
    EXPECT_EQ(frame.m_nRecState, 3);
    rec->StopRecorder(frame);
    EXPECT_EQ(frame.m_nRecState, 0);
    wave.requests.clear();
    rec->PlayRecording(frame);
    ASSERT_EQ(wave.Messages(), (Msgs{MCI_SEEK, MCI_PLAY}));
    EXPECT_EQ(wave.requests[0].flags, MCI_SEEK_TO_START | MCI_NOTIFY);
    EXPECT_EQ(std::tuple(wave.requests[1].flags, wave.requests[1].callback),
              std::tuple(MCI_NOTIFY, kMainWindowCallback));
    EXPECT_EQ(frame.m_nRecState, 2);
}

TEST_F(RecorderTest, SaveOffersAWaveFileDialogOnlyForARecordingAndAFailureKeepsIt) {
    rec->StartRecording(frame);
    rec->SaveRecordedData(frame); // 0 ms long
    EXPECT_TRUE(files.requests.empty());

    wave.length = 2000;
    rec->SaveRecordedData(frame); // cancelled
    ASSERT_EQ(files.requests.size(), 1u);
    const FileDialogRequest& r = files.requests[0];
    EXPECT_EQ(std::tuple(r.kind, r.overwritePrompt, r.defaultExtension, r.filters.at(0).patterns),
              std::tuple(FileDialogRequest::Kind::Save, true, "wav", "*.wav"));
    EXPECT_EQ(wave.Last(MCI_SAVE), nullptr);

    files.answers = {{"/home/a/take.wav"}, {"/home/a/take.wav"}};
    wave.failing = {MCI_SAVE};
    EXPECT_CALL(messages, MessageBox(::testing::HasSubstr("/home/a/take.wav"), "Mixora",
                                     MB_OK | MB_ICONWARNING));
    rec->SaveRecordedData(frame);
    EXPECT_EQ(frame.m_nRecState, 3);
    EXPECT_TRUE(rec->HoldsUnsavedRecording(frame));
    wave.failing = {};
    rec->SaveRecordedData(frame);
    EXPECT_EQ(std::tuple(wave.Last(MCI_SAVE)->flags, wave.Last(MCI_SAVE)->file),
              std::tuple(MCI_SAVE_FILE | MCI_WAIT, "/home/a/take.wav"));
    EXPECT_EQ(frame.m_nRecState, 0);
    EXPECT_FALSE(rec->HoldsUnsavedRecording(frame));
}

TEST_F(RecorderTest, TheFormatFollowsTheStoredChoicesAndTheDialogsWithTypedRatesOf8To48Kilohertz) {
    ini.values = {{"Recording/SampRate", "1009"},
                  {"Recording/SampSize", "1014"},
                  {"Recording/Channels", "1099"}}; // hand-edited: no mark
    dialogs.script = [&](FakeDialogView& v, IDialogController& d) {
        EXPECT_TRUE(v.IsButtonChecked(1009) && v.IsButtonChecked(1014));
        EXPECT_FALSE(v.IsButtonChecked(1016) || v.IsButtonChecked(1017));
        d.OnCommand(v, 1016);
        d.OnCommand(v, kIdOk);
    };
    rec->RunRecordFormatDialog(frame);
    EXPECT_EQ(wave.Messages(), (Msgs{MCI_OPEN, MCI_SET}));
    // A WAVE format's byte rate is rate x channels x bytes per sample.
    const MCI_WAVE_SET_PARMS* s = &wave.Last(MCI_SET)->set;
    EXPECT_EQ(std::tuple(s->nSamplesPerSec, s->nAvgBytesPerSec, s->nBlockAlign, s->wBitsPerSample,
                         s->nChannels),
              std::tuple(11025u, 11025u, 1u, 8u, 1u));
    EXPECT_EQ(ini.values["Recording/Channels"], "1016");

    // "User Define:" comes back with the stored rate, 22050 when out of range;
    // choices no button stands for record in the first-run format.
    using Ini = std::map<std::string, std::string>;
    for (auto [stored, hz, bytes] :
         {std::tuple(Ini{{"Recording/SampRate", "7"},
                         {"Recording/SampSize", "1099"},
                         {"Recording/Channels", "1099"}},
                     22050u, 88200u),
          std::tuple(Ini{{"Recording/SampRate", "1012"}, {"Recording/UserRate", "30000"}}, 30000u,
                     120000u),
          std::tuple(Ini{{"Recording/SampRate", "1012"}, {"Recording/UserRate", "48001"}}, 22050u,
                     88200u)}) {
        ini.values = stored;
        records.g_wRecDevice = 0;
        rec->StartRecording(frame);
        s = &wave.Last(MCI_SET)->set;
        EXPECT_EQ(std::tuple(s->nSamplesPerSec, s->nAvgBytesPerSec, s->nChannels),
                  std::tuple(hz, bytes, 2u));
    }

    // Typed in kHz, read as atof reads it and cut to whole Hz.
    EXPECT_CALL(messages, MessageBox("Invalid Sampling Rate!", "ERROR", MB_ICONWARNING));
    FormatDialog({1012}, "7.9999");
    EXPECT_EQ(wave.Last(MCI_SET)->set.nSamplesPerSec, 22050u);
    EXPECT_EQ(ini.values["Recording/UserRate"], "48001");
    for (auto [typed, hz] : {std::pair("48.0009", 48000u), std::pair("  +4.41e1kHz", 44100u)}) {
        FormatDialog({1012}, typed);
        EXPECT_EQ(wave.Last(MCI_SET)->set.nSamplesPerSec, hz);
        EXPECT_EQ(ini.values["Recording/UserRate"], std::to_string(hz));
    }
}

TEST_F(RecorderTest, AnUnsavedRecordingGoesOnlyWhenThePersonSaysSo) {
    rec->StartRecording(frame);
    wave.length = 1500;
    EXPECT_CALL(messages, MessageBox("The recording has not been saved. Discard it?", "Mixora",
                                     MB_YESNO | MB_ICONWARNING))
        .WillOnce(Return(IDNO))
        .WillOnce(Return(IDYES));
    FormatDialog({}); // No: the device and its recording stay
    EXPECT_EQ(wave.Last(MCI_CLOSE), nullptr);
    FormatDialog({});
    EXPECT_EQ(std::tuple(wave.Last(MCI_CLOSE)->device, wave.Last(MCI_CLOSE)->flags),
              std::tuple(5u, MCI_WAIT));
    EXPECT_EQ(records.g_wRecDevice, 6u);

    // Closing the window: Cancel, or Yes and then no file chosen, keep it open.
    rec->StartRecording(frame);
    EXPECT_CALL(messages,
                MessageBox("The recording has not been saved. Save it before Mixora closes?",
                           "Mixora", MB_YESNOCANCEL | MB_ICONWARNING))
        .WillOnce(Return(IDCANCEL))
        .WillRepeatedly(Return(IDYES));
    EXPECT_TRUE(rec->CancelClose(frame, true));
    EXPECT_TRUE(rec->CancelClose(frame, true));
    files.answers = {{"/tmp/x.wav"}};
    EXPECT_FALSE(rec->CancelClose(frame, true));
    EXPECT_EQ(wave.Last(MCI_SAVE)->file, "/tmp/x.wav");

    // The window asks only when it may: a logout closes it without a word.
    frame.OnCreate();
    EXPECT_CALL(recorder, CancelClose(_, true)).WillOnce(Return(true));
    EXPECT_CALL(recorder, CancelClose(_, false)).WillOnce(Return(false));
    EXPECT_CALL(host, DestroyWindow()).Times(1);
    frame.WindowProc(WM_CLOSE, 0, 0);
    frame.WindowProc(WM_CLOSE, 0, kCloseWithoutAsking);
}
