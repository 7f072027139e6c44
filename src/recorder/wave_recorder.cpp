#include "recorder/wave_recorder.h"

#include <filesystem>
#include <system_error>

#include "device/program_records.h"
#include "platform/file_dialog.h"
#include "platform/mci.h"
#include "platform/message_box.h"
#include "platform/private_profile.h"
#include "platform/system_info.h"
#include "recorder/record_format_dialog.h"
#include "recorder/recorder_window.h"
#include "skin/skin.h"

namespace mixora {
namespace {

constexpr const char* kSection = "Recording";
// Where the last start-up note about a kept recording is waiting.
constexpr const char* kRescuedKey = "Rescued";

std::string RescueName(std::time_t now) {
    char stamp[32] = "unknown-time";
    if (const std::tm* local = std::localtime(&now)) {
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", local);
    }
    return std::string("Recording-") + stamp;
}

} // namespace

std::string CWaveRecorder::IniPath() const {
    return s_.system.WindowsDirectory() + "/Mixora.ini";
}

bool CWaveRecorder::OpenDevice() {
    MCI_OPEN_PARMS open;
    open.lpstrDeviceType = "waveaudio";
    open.lpstrElementName = "";
    if (s_.mci.SendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, &open) != 0) {
        return false;
    }
    s_.records.g_wRecDevice = open.wDeviceID;
    m_bUnsaved = false;
    return true;
}

void CWaveRecorder::CloseDevice() {
    if (s_.records.g_wRecDevice != 0) {
        s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_CLOSE, MCI_WAIT, nullptr);
        s_.records.g_wRecDevice = 0;
    }
    m_bUnsaved = false;
}

void CWaveRecorder::StartRecording(CRecorderWindow& w) {
    if (s_.records.g_wRecDevice == 0) {
        ReadRecordingChoices(s_.profile, IniPath(), m_rec);
        if (!OpenDevice()) {
            return;
        }
        SetRecordFormat(s_.mci, s_.records.g_wRecDevice, m_rec);
    }
    const std::uint32_t device = s_.records.g_wRecDevice;
    MCI_SEEK_PARMS seek;
    s_.mci.SendCommand(device, MCI_SEEK, MCI_SEEK_TO_END | MCI_NOTIFY, &seek);
    MCI_RECORD_PARMS record;
    record.dwCallback = kMainWindowCallback;
    if (s_.mci.SendCommand(device, MCI_RECORD, MCI_NOTIFY, &record) == 0) {
        w.m_nRecState = kRecStateRecording;
        m_bUnsaved = true;
    }
}

void CWaveRecorder::StopRecorder(CRecorderWindow& w) {
    if (s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_STOP, MCI_WAIT, nullptr) == 0) {
        w.m_nRecState = kRecStateIdle;
    }
}

void CWaveRecorder::PlayRecording(CRecorderWindow& w) {
    const std::uint32_t device = s_.records.g_wRecDevice;
    MCI_SEEK_PARMS seek;
    s_.mci.SendCommand(device, MCI_SEEK, MCI_SEEK_TO_START | MCI_NOTIFY, &seek);
    MCI_PLAY_PARMS play;
    play.dwCallback = kMainWindowCallback;
    if (s_.mci.SendCommand(device, MCI_PLAY, MCI_NOTIFY, &play) == 0) {
        w.m_nRecState = kRecStatePlaying;
    }
}

void CWaveRecorder::SaveRecordedData(CRecorderWindow& w) {
    if (s_.records.g_wRecDevice == 0) {
        return;
    }
    w.m_recStatus.dwItem = MCI_STATUS_LENGTH;
    if (s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                           &w.m_recStatus) != 0 ||
        w.m_recStatus.dwReturn == 0) {
        return;
    }
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.overwritePrompt = true;
    request.filters = {{"Wave File (*.wav)", "*.wav"}};
    request.defaultExtension = "wav";
    auto chosen = s_.files.Run(request);
    if (chosen && !chosen->empty()) {
        SaveRecording(w, chosen->front());
    }
}

bool CWaveRecorder::SaveRecording(CRecorderWindow& w, const std::string& path) {
    MCI_SAVE_PARMS save;
    save.lpfilename = path;
    if (s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, &save) !=
        0) {
        // The device wrote nothing over the old file and kept the recording;
        // the person must know it is not on disk.
        s_.messages.MessageBox("The recording could not be saved to\n" + path +
                                   "\n\nIt is still here: choose another place to save it.",
                               "Mixora", MB_OK | MB_ICONWARNING);
        return false;
    }
    w.m_nRecState = kRecStateIdle;
    m_bUnsaved = false;
    return true;
}

void CWaveRecorder::RunRecordFormatDialog(CRecorderWindow& w) {
    CRecordFormatDlg dialog(*this, w);
    dialog.DoModal();
}

void CWaveRecorder::ShowRecordTime(CRecorderWindow& w) {
    if (!m_bToldRescue) {
        m_bToldRescue = true;
        TellAboutRescuedRecording();
    }
    std::uint32_t t = 0;
    if (w.m_nRecState != kRecStateIdle && s_.records.g_wRecDevice != 0) {
        w.m_recStatus.dwItem = MCI_STATUS_POSITION;
        s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                           &w.m_recStatus);
        t = static_cast<std::uint32_t>(w.m_recStatus.dwReturn);
    }
    const std::uint32_t seconds = t / 1000;
    const std::uint32_t minutes = seconds / 60;
    const std::uint32_t secs = seconds % 60;
    CSkin& skin = w.Skin();
    skin.DrawDigit(w.m_rcRecDigits[0], static_cast<int>(secs % 10), 1);
    skin.DrawDigit(w.m_rcRecDigits[1], static_cast<int>(secs / 10), 1);
    skin.DrawDigit(w.m_rcRecDigits[2], static_cast<int>(minutes % 10), 1);
    skin.DrawDigit(w.m_rcRecDigits[3], static_cast<int>(minutes / 10), 1);
}

bool CWaveRecorder::HoldsUnsavedRecording(CRecorderWindow& w) {
    if (s_.records.g_wRecDevice == 0 || !m_bUnsaved) {
        return false;
    }
    w.m_recStatus.dwItem = MCI_STATUS_LENGTH;
    return s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                              &w.m_recStatus) == 0 &&
           w.m_recStatus.dwReturn > 0;
}

bool CWaveRecorder::CancelClose(CRecorderWindow& w, bool canAsk) {
    if (!canAsk || !HoldsUnsavedRecording(w)) {
        return false;
    }
    const int answer =
        s_.messages.MessageBox("The recording has not been saved. Save it before Mixora closes?",
                               "Mixora", MB_YESNOCANCEL | MB_ICONWARNING);
    if (answer == IDNO) {
        m_bUnsaved = false; // thrown away by the person's own choice
        return false;
    }
    if (answer == IDYES) {
        SaveRecordedData(w);
        return m_bUnsaved;
    }
    return true;
}

void CWaveRecorder::RescueUnsavedRecording(CRecorderWindow& w) {
    if (!HoldsUnsavedRecording(w)) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(s_.rescueFolder, ec);
    const std::string base = s_.rescueFolder + "/" + RescueName(s_.now ? s_.now() : 0);
    std::string path = base + ".wav";
    for (int n = 2; std::filesystem::exists(path, ec) && n < 1000; ++n) {
        path = base + "-" + std::to_string(n) + ".wav";
    }
    MCI_SAVE_PARMS save;
    save.lpfilename = path;
    if (s_.mci.SendCommand(s_.records.g_wRecDevice, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, &save) ==
        0) {
        m_bUnsaved = false;
        s_.profile.WriteString(kSection, kRescuedKey, path, IniPath());
    }
}

void CWaveRecorder::TellAboutRescuedRecording() {
    const std::string path = s_.profile.GetString(kSection, kRescuedKey, "", 4096, IniPath());
    if (path.empty()) {
        return;
    }
    s_.profile.WriteString(kSection, kRescuedKey, "", IniPath());
    s_.messages.MessageBox("Mixora was ended while a recording was not saved. It was kept in\n" +
                               path,
                           "Mixora", MB_OK | MB_ICONINFORMATION);
}

} // namespace mixora
