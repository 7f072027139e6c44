#pragma once
// The wave recorder: records from the sound card into an untitled recording
// of the "waveaudio" device, plays it back, saves it as a wave file, and
// shows the position on the recorder's digits. It makes sure a recording
// nobody saved is never thrown away unasked.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "recorder/record_format.h"

namespace mixora {

class CLanguageText;
class CRecorderWindow;
class IDialogRunner;
class IFileDialog;
class IMci;
class IMessageBox;
class IPrivateProfile;
class IResourceModule;
class ISystemInfo;
struct ProgramRecords;

// The one window every command's notification goes to.
inline constexpr std::uintptr_t kMainWindowCallback = 1;

struct RecorderServices {
    IMci& mci;
    ProgramRecords& records;
    IPrivateProfile& profile;
    ISystemInfo& system;
    IMessageBox& messages;
    IFileDialog& files;
    IDialogRunner& dialogs;
    const IResourceModule& resources;
    const CLanguageText& language;
    // Where a recording still unsaved when the program is ended by a signal
    // is kept (created when needed).
    std::string rescueFolder;
    // The local time the kept recording is named after.
    std::function<std::time_t()> now;
};

class CWaveRecorder {
public:
    explicit CWaveRecorder(RecorderServices services) : s_(std::move(services)) {}

    void StartRecording(CRecorderWindow& w);
    void StopRecorder(CRecorderWindow& w);
    void PlayRecording(CRecorderWindow& w);
    // Command 1074: the length, the save-file dialog, SaveRecording.
    void SaveRecordedData(CRecorderWindow& w);
    // True when saved; a failure is told in a message box.
    bool SaveRecording(CRecorderWindow& w, const std::string& path);
    // Command 1075: the format dialog.
    void RunRecordFormatDialog(CRecorderWindow& w);
    void ShowRecordTime(CRecorderWindow& w);

    // The window is asked to close. With `canAsk`, an unsaved recording is
    // offered for saving first; true means the window stays open.
    bool CancelClose(CRecorderWindow& w, bool canAsk);
    // The window is going: an unsaved recording is saved into the rescue
    // folder and the next start tells where.
    void RescueUnsavedRecording(CRecorderWindow& w);

    // An open device holding a recording longer than 0 ms that grew since
    // it was last saved.
    bool HoldsUnsavedRecording(CRecorderWindow& w);

    // Opening a new untitled recording into g_wRecDevice; false on failure.
    bool OpenDevice();
    // Closes the device (the recording goes with it).
    void CloseDevice();

    RecorderRecords& Records() { return m_rec; }
    RecorderServices& Services() { return s_; }
    std::string IniPath() const;

private:
    void TellAboutRescuedRecording();

    RecorderServices s_;
    RecorderRecords m_rec;
    bool m_bUnsaved = false;
    bool m_bToldRescue = false;
};

} // namespace mixora
