#include "app/settings.h"

#include "app/main_frame.h"
#include "device/program_records.h"
#include "platform/message_box.h"
#include "platform/private_profile.h"

namespace mixora {
namespace {

constexpr const char* kSettings = "Settings";
constexpr const char* kEq = "EQ";
// Room for a whole Linux path (PATH_MAX bytes) and its terminator: a skin in
// a deep folder must come back whole, never cut inside a character.
constexpr std::size_t kPathBuffer = 4096 + 1;

} // namespace

std::string SettingsFilePath(const std::string& windowsDirectory) {
    return windowsDirectory + "/Mixora.ini";
}

void ReadSettings(CMainFrame& f, ProgramRecords& records, IPrivateProfile& profile,
                  const std::string& windowsDirectory) {
    const std::string path = SettingsFilePath(windowsDirectory);
    auto get = [&](const char* key, int def) { return profile.GetInt(kSettings, key, def, path); };

    f.m_nRepeatMode = get("Repeat", 0);
    // The repeat button has four states and the end of a track knows four
    // modes; anything else a hand-edited file holds plays the list once.
    if (f.m_nRepeatMode < 0 || f.m_nRepeatMode > 3) {
        f.m_nRepeatMode = 0;
    }
    f.m_bMute = get("Mute", 0);
    f.m_nVolume = get("Volume", 0);
    f.m_bShowRecorder = get("DisplayRecorder", 1);
    f.m_bShowPlaylist = get("DisplayPlaylist", 1);
    f.m_bShowEqualizer = get("DisplayEqualizer", 1);
    f.m_bCheckAudioCd = get("Check_Audio_CD", 1);
    records.g_bDetectLanguage = get("Detect_Language", 0);
    f.m_strSkinFile = profile.GetString(kSettings, "Skin_File", "", kPathBuffer, path);

    auto mask = static_cast<std::uint32_t>(profile.GetInt(kEq, "EQPresetMask", 0, path));
    records.g_builtinPresets.ApplyDeletedMask(mask);
}

void WriteSettings(const CMainFrame& f, const ProgramRecords& records, IPrivateProfile& profile,
                   const std::string& windowsDirectory, IMessageBox& messages) {
    const std::string path = SettingsFilePath(windowsDirectory);
    std::vector<ProfileEntry> entries;
    auto put = [&](const char* section, const char* key, std::string value) {
        entries.push_back({section, key, std::move(value)});
    };
    put(kSettings, "Repeat", std::to_string(f.m_nRepeatMode));
    put(kSettings, "Mute", std::to_string(f.m_bMute));
    put(kSettings, "Volume", std::to_string(f.m_nVolume));
    put(kSettings, "DisplayRecorder", std::to_string(f.m_bShowRecorder));
    put(kSettings, "DisplayPlaylist", std::to_string(f.m_bShowPlaylist));
    put(kSettings, "DisplayEqualizer", std::to_string(f.m_bShowEqualizer));
    put(kSettings, "Check_Audio_CD", std::to_string(f.m_bCheckAudioCd));
    put(kSettings, "Detect_Language", std::to_string(records.g_bDetectLanguage));
    put(kSettings, "Skin_File", f.m_strSkinFile);
    put(kEq, "EQPresetMask",
        std::to_string(static_cast<int>(records.g_builtinPresets.DeletedMask())));
    // All keys in one replacement of the file: a kill while the program ends
    // leaves the old settings or the new ones, never a mix.
    std::string error;
    if (!profile.WriteStrings(entries, path, &error)) {
        messages.MessageBox("Mixora could not save its settings to " + path + ": " + error +
                                ".\nThe changes of this session are lost.",
                            "Mixora", MB_OK | MB_ICONWARNING);
    }
}

} // namespace mixora
