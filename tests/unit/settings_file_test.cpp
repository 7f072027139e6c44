// Mixora.ini as a user sees it: what a first run creates, what comes back,
// and that a hand-edited or unwritable file is never damaged.
#include <chrono>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_frame.h"
#include "app/settings.h"
#include "device/program_records.h"
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
        CMainFrame frame({host, profile, system, mci, records, resources, messages, launcher, text,
                          effects, playback, recorder});
        frame.OnCreate();
        if (whileRunning)
            whileRunning(frame);
        frame.OnDestroy();
    }
    int Files() const {
        int files = 0;
        for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
            ++files;
        return files;
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
    Run();
    EXPECT_EQ(dir.Read("Mixora.ini"), kFirstRun);
}

TEST_F(SettingsFileTest, ValuesComeBackAndAnOutOfRangeVolumeIsWrittenClamped) {
    dir.Write("Mixora.ini",
              "[Settings]\nVolume=-9999\nRepeat=3\nMute=1\nSkin_File=/opt/m/Blue.dll\n");
    Run([](CMainFrame& f) {
        EXPECT_EQ(f.m_nVolume, -3000);
        EXPECT_EQ(f.m_nRepeatMode, 3);
        EXPECT_EQ(f.m_strSkinFile, "/opt/m/Blue.dll");
        f.m_nVolume = -1500;
    });
    EXPECT_NE(dir.Read("Mixora.ini").find("Volume=-1500\nRepeat=3\nMute=1\n"), std::string::npos);
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
    EXPECT_EQ(Files(), 1) << "a temporary file is left";
}

TEST_F(SettingsFileTest, ExitWritesThroughASymlink) {
    // A dotfiles setup: the settings file is a link into another folder.
    std::filesystem::create_directory(dir.File("dotfiles"));
    dir.Write("dotfiles/Mixora.ini", "; mine\n[Settings]\nVolume=-700\n");
    std::filesystem::create_symlink("dotfiles/Mixora.ini", dir.File("Mixora.ini"));
    Run([](CMainFrame& f) { f.m_nVolume = -500; });
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("Mixora.ini")));
    const std::string after = dir.Read("dotfiles/Mixora.ini");
    EXPECT_EQ(after.rfind("; mine\n[Settings]\nVolume=-500\nRepeat=0\n", 0), 0u) << after;
}

TEST_F(SettingsFileTest, AWriteThatFailsIsToldWithThePathAndTheReason) {
    // A full disk.
    dir.Write("Mixora.ini", "[Settings]\nVolume=-700\n");
    EXPECT_CALL(messages, MessageBox(::testing::AllOf(::testing::HasSubstr(dir.File("Mixora.ini")),
                                                      ::testing::HasSubstr("File too large")),
                                     "Mixora", ::testing::_))
        .Times(1);
    {
        FullDisk full;
        Run();
    }
    EXPECT_EQ(dir.Read("Mixora.ini"), "[Settings]\nVolume=-700\n");
    EXPECT_EQ(Files(), 1) << "a temporary file is left";
}
