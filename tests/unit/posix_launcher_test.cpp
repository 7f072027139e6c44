// Starting the recording-source chooser: found on PATH, started detached.
#include <gtest/gtest.h>

#include <unistd.h>

#include "fakes/temp_dir.h"
#include "platform/posix/posix_launcher.h"

using namespace mixora;

TEST(PosixLauncher, FindsProgramsOnThePathAndStartsThem) {
    PosixLauncher launcher;
    EXPECT_TRUE(launcher.IsInstalled("sh"));
    EXPECT_FALSE(launcher.IsInstalled("no-such-mixora-helper"));
    EXPECT_FALSE(launcher.Launch({"no-such-mixora-helper"}));
    EXPECT_FALSE(launcher.Launch({}));

    TempDir dir;
    const std::string marker = dir.File("started");
    ASSERT_TRUE(launcher.Launch({"sh", "-c", "echo yes > '" + marker + "'"}));
    for (int i = 0; i < 200 && dir.Read("started").empty(); ++i) {
        ::usleep(10000);
    }
    EXPECT_EQ(dir.Read("started"), "yes\n");
}
