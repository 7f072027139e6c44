#pragma once
// Everything a main window needs, as quiet fakes: the seams answer with
// their defaults (a missing settings file, timers that start), so a test
// states only what it checks.
#include <gmock/gmock.h>

#include "app/main_frame.h"
#include "device/program_records.h"
#include "fakes/fake_text_rasterizer.h"
#include "fakes/mock_frame_seams.h"
#include "skin/program_resources.h"

namespace mixora {

struct FrameHarness {
    ::testing::NiceMock<MockWindowHost> host;
    ::testing::NiceMock<MockPrivateProfile> profile;
    ::testing::NiceMock<MockMci> mci;
    ::testing::NiceMock<MockMessageBox> messages;
    ::testing::NiceMock<MockLauncher> launcher;
    FakeSystemInfo system;
    ProgramRecords records;
    CProgramResources resources;
    FakeTextRasterizer text;
    ::testing::NiceMock<MockEffectOperations> effects;
    ::testing::NiceMock<MockPlaybackOperations> playback;
    ::testing::NiceMock<MockRecorderOperations> recorder;

    FrameHarness() {
        using ::testing::_;
        using ::testing::Invoke;
        system.windowsDir = "/cfg";
        ON_CALL(profile, GetInt(_, _, _, _)).WillByDefault(Invoke([](auto&, auto&, int def, auto&) {
            return def;
        }));
        ON_CALL(profile, GetString(_, _, _, _, _))
            .WillByDefault(Invoke([](auto&, auto&, auto& def, auto, auto&) { return def; }));
        ON_CALL(effects, ReadEffectState(_)).WillByDefault(::testing::Return(true));
        ON_CALL(host, SetTimer(_, _)).WillByDefault(Invoke([](UINT id, UINT) { return id; }));
        ON_CALL(host, ClientToScreen(_)).WillByDefault(Invoke([](POINT p) { return p; }));
    }

    FrameServices Services() {
        return {host,     profile,  system, mci,     records,  resources,
                messages, launcher, text,   effects, playback, recorder};
    }
};

} // namespace mixora
