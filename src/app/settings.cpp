#include "app/settings.h"

#include "app/main_frame.h"
#include "device/program_records.h"
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
                   const std::string& windowsDirectory) {
    const std::string path = SettingsFilePath(windowsDirectory);
    auto put = [&](const char* key, int value) {
        profile.WriteString(kSettings, key, std::to_string(value), path);
    };
    put("Repeat", f.m_nRepeatMode);
    put("Mute", f.m_bMute);
    put("Volume", f.m_nVolume);
    put("DisplayRecorder", f.m_bShowRecorder);
    put("DisplayPlaylist", f.m_bShowPlaylist);
    put("DisplayEqualizer", f.m_bShowEqualizer);
    put("Check_Audio_CD", f.m_bCheckAudioCd);
    put("Detect_Language", records.g_bDetectLanguage);
    profile.WriteString(kSettings, "Skin_File", f.m_strSkinFile, path);
    profile.WriteString(kEq, "EQPresetMask",
                        std::to_string(static_cast<int>(records.g_builtinPresets.DeletedMask())),
                        path);
}

} // namespace mixora
