// Mixora.ini as a user sees it: what a first run creates, what comes back,
// and that a hand-edited or unwritable file is never damaged.
#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_frame.h"
#include "app/program_records.h"
#include "app/settings.h"
#include "fakes/file_permissions.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/linux_system.h"
#include "platform/posix/profile_file.h"
#include "skin/program_resources.h"

using namespace mixora;
using ::testing::NiceMock;

namespace {

struct SettingsFileTest : ::testing::Test, FrameHarness {
    TempDir dir;
    PrivateProfileFile profile;

    SettingsFileTest() { system.windowsDir = dir.path(); }

    // One run of the program: start-up reads, shut-down writes.
    void Run(const std::function<void(CMainFrame&)>& whileRunning = {}) {
        CMainFrame frame({host, profile, system, mci, ops, records, resources, messages, launcher,
                          text, commands});
        frame.OnCreate();
        if (whileRunning)
            whileRunning(frame);
        frame.OnDestroy();
    }
};

const char* const kFirstRun = "[Settings]\n"
                              "Repeat=0\n"
                              "Mute=0\n"
                              "Volume=0\n"
                              "DisplayRecorder=1\n"
                              "DisplayPlaylist=1\n"
                              "DisplayEqualizer=1\n"
                              "Check_Audio_CD=1\n"
                              "Detect_Language=0\n"
                              "Skin_File=\n"
                              "\n"
                              "[EQ]\n"
                              "EQPresetMask=0\n";

} // namespace

TEST_F(SettingsFileTest, AFirstRunStartsWithDefaultsAndCreatesBothSections) {
    Run([](CMainFrame& f) {
        EXPECT_EQ(f.m_nRepeatMode, 0);
        EXPECT_EQ(f.m_bMute, 0);
        EXPECT_EQ(f.m_nVolume, 0);
        EXPECT_EQ(f.m_bShowRecorder + f.m_bShowPlaylist + f.m_bShowEqualizer, 3);
        EXPECT_EQ(f.m_bCheckAudioCd, 1);
        EXPECT_EQ(f.m_strSkinFile, "");
    });
    EXPECT_EQ(records.g_bDetectLanguage, 0);
    EXPECT_EQ(dir.Read("Mixora.ini"), kFirstRun);
}

TEST_F(SettingsFileTest, ValuesComeBackAndAnOutOfRangeVolumeIsWrittenClamped) {
    dir.Write("Mixora.ini",
              "[Settings]\nVolume=-9999\nRepeat=3\nMute=1\nSkin_File=/opt/m/Blue.dll\n");
    Run([](CMainFrame& f) {
        EXPECT_EQ(f.m_nVolume, -3000);
        EXPECT_EQ(f.m_nRepeatMode, 3);
        EXPECT_EQ(f.m_bMute, 1);
        EXPECT_EQ(f.m_strSkinFile, "/opt/m/Blue.dll");
        f.m_nVolume = -1500;
    });
    std::string text = dir.Read("Mixora.ini");
    EXPECT_NE(text.find("Volume=-1500\n"), std::string::npos);
    EXPECT_NE(text.find("Repeat=3\nMute=1\n"), std::string::npos);
    Run([](CMainFrame& f) { EXPECT_EQ(f.m_nVolume, -1500); });
}

TEST_F(SettingsFileTest, ARepeatModeOutsideTheFourPlaysTheListOnce) {
    dir.Write("Mixora.ini", "[Settings]\nRepeat=4\n"); // one past the last mode
    Run([](CMainFrame& f) { EXPECT_EQ(f.m_nRepeatMode, 0); });
    dir.Write("Mixora.ini", "[Settings]\nRepeat=-1\n");
    Run([](CMainFrame& f) { EXPECT_EQ(f.m_nRepeatMode, 0); });
}

TEST_F(SettingsFileTest, DeletedPresetMarksSurviveTheRun) {
    dir.Write("Mixora.ini", "[EQ]\nEQPresetMask=5\n");
    Run([&](CMainFrame&) {
        EXPECT_TRUE(records.g_builtinPresets.IsDeleted(0));
        EXPECT_FALSE(records.g_builtinPresets.IsDeleted(1));
        EXPECT_TRUE(records.g_builtinPresets.IsDeleted(2));
    });
    EXPECT_NE(dir.Read("Mixora.ini").find("EQPresetMask=5"), std::string::npos);
}

TEST_F(SettingsFileTest, AHandEditedFileKeepsItsOtherLines) {
    dir.Write("Mixora.ini", "; my player\r\n[settings]\r\n  VOLUME = -1200 \r\n"
                            "Theme=dark\r\n\r\n[Recording]\r\nRate=44100\r\n");
    Run([](CMainFrame& f) { EXPECT_EQ(f.m_nVolume, -1200); });
    std::string text = dir.Read("Mixora.ini");
    EXPECT_EQ(
        text.rfind("; my player\r\n[settings]\r\nVolume=-1200\r\nTheme=dark\r\nRepeat=0\r\n", 0),
        0u)
        << text;
    EXPECT_NE(text.find("\r\n\r\n[Recording]\r\nRate=44100\r\n\r\n[EQ]\r\nEQPresetMask=0\r\n"),
              std::string::npos)
        << text;
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole) {
    const std::string before =
        "[Settings]\nVolume=-700\n; a long comment that makes the file bigger\n";
    dir.Write("Mixora.ini", before);
    // A disk that is full: no file may grow past a few bytes.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit tiny = old;
    tiny.rlim_cur = 16;
    setrlimit(RLIMIT_FSIZE, &tiny);
    bool ok = profile.WriteString("Settings", "Volume", "-100", dir.File("Mixora.ini"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(dir.Read("Mixora.ini"), before);
    // No temporary file is left behind either.
    int files = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFileTest, AnUnwritableFolderLeavesTheOldFileWhole) {
    dir.Write("Mixora.ini", "[Settings]\nVolume=-700\n");
    ::chmod(dir.path().c_str(), 0500);
    {
        // Root (as in CI) is bound by the folder's mode only without these.
        WithoutFilePermissionOverride asUser;
        Run();
    }
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(dir.Read("Mixora.ini"), "[Settings]\nVolume=-700\n");
}

TEST_F(SettingsFileTest, ProfileReadsFollowTheClassicRules) {
    dir.Write("a.ini", "[S]\nempty=\nword=abc\nnum=42xyz\nquoted=\"  spaced  \"\nlong=" +
                           std::string(300, 'x') + "\n");
    const std::string path = dir.File("a.ini");
    EXPECT_EQ(profile.GetInt("S", "empty", 9, path), 9);
    EXPECT_EQ(profile.GetInt("S", "word", 9, path), 0);
    EXPECT_EQ(profile.GetInt("S", "num", 9, path), 42);
    EXPECT_EQ(profile.GetInt("S", "missing", 9, path), 9);
    EXPECT_EQ(profile.GetInt("S", "num", 9, dir.File("none.ini")), 9);
    EXPECT_EQ(profile.GetString("s", "QUOTED", "", 128, path), "  spaced  ");
    EXPECT_EQ(profile.GetString("S", "long", "", 128, path).size(), 127u);
    EXPECT_EQ(profile.GetString("S", "missing", "dflt", 128, path), "dflt");
}

TEST(SettingsFolder, FollowsXdgConfigHomeThenHome) {
    EXPECT_EQ(SettingsFolderFor("/x/conf/", "/home/u"), "/x/conf/mixora");
    EXPECT_EQ(SettingsFolderFor(nullptr, "/home/u"), "/home/u/.config/mixora");
    EXPECT_EQ(SettingsFolderFor("relative", "/home/u"), "/home/u/.config/mixora");
}
