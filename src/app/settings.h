#pragma once
// Mixora.ini: the user's choices kept between runs. Read once while the
// window is created, written once when it is destroyed (all keys in one
// replacement of the file; a failure is told to the user through
// `messages`, with the path and the reason).
#include <string>

namespace mixora {

class CMainFrame;
class IMessageBox;
class IPrivateProfile;
struct ProgramRecords;

// The settings file inside the given settings folder.
std::string SettingsFilePath(const std::string& windowsDirectory);

void ReadSettings(CMainFrame& frame, ProgramRecords& records, IPrivateProfile& profile,
                  const std::string& windowsDirectory);
void WriteSettings(const CMainFrame& frame, const ProgramRecords& records, IPrivateProfile& profile,
                   const std::string& windowsDirectory, IMessageBox& messages);

} // namespace mixora
