// The environment table as the menu and the driver see it: names, order and
// every listener value.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/effects/environments.h"

namespace mixora {
namespace {

TEST(Environments, TwentySixNamesInMenuOrder) {
    const char* const names[] = {"Generic",     "Padded Cell",    "Room",        "Bathroom",
                                 "Livingroom",  "Stone Room",     "Auditorium",  "Concert Hall",
                                 "Cave",        "Arena",          "Hangar",      "Carpeted Hallway",
                                 "Hallway",     "Stone Corridor", "Alley",       "Forest",
                                 "City",        "Mountains",      "Quarry",      "Plain",
                                 "Parking Lot", "Sewer Pipe",     "Under Water", "Drugged",
                                 "Dizzy",       "Psychotic"};
    ASSERT_EQ(Environments().size(), 26u);
    for (int i = 0; i < 26; ++i) {
        const EnvironmentPreset& e = Environments()[i];
        EXPECT_EQ(std::string(e.name), names[i]);
        EXPECT_EQ(e.listener.dwEnvironment, static_cast<std::uint32_t>(i)) << e.name;
        const EaxListener l = ListenerForEnvironment(i);
        EXPECT_EQ(l.dwEnvironment, static_cast<std::uint32_t>(i));
        EXPECT_EQ(l.flDecayTime, e.listener.flDecayTime);
    }
    EXPECT_EQ(ListenerForEnvironment(-1).dwEnvironment, 0u);
    EXPECT_EQ(ListenerForEnvironment(26).dwEnvironment, 0u);
}

// The global-reverb records 1..23 carry the same rooms; the listener of
// environment n - 1 must agree with record n field by field.
TEST(Environments, FirstTwentyThreeMatchTheGlobalReverbRecords) {
    struct Row {
        int roomHF;
        float decay, hfRatio;
        int reflections;
        float reflectionsDelay;
        int reverb;
        float reverbDelay;
        int diffusionPercent;
    };
    const Row rows[23] = {
        {-100, 1.49f, 0.83f, -2602, 0.007f, 200, 0.011f, 100},
        {-6000, 0.17f, 0.1f, -1204, 0.001f, 207, 0.002f, 100},
        {-454, 0.4f, 0.83f, -1646, 0.002f, 53, 0.003f, 100},
        {-1200, 1.49f, 0.54f, -370, 0.007f, 1030, 0.011f, 100},
        {-6000, 0.5f, 0.1f, -1376, 0.003f, -1104, 0.004f, 100},
        {-300, 2.31f, 0.64f, -711, 0.012f, 83, 0.017f, 100},
        {-476, 4.32f, 0.59f, -789, 0.02f, -289, 0.03f, 100},
        {-500, 3.92f, 0.7f, -1230, 0.02f, -2, 0.029f, 100},
        {0, 2.91f, 1.3f, -602, 0.015f, -302, 0.022f, 100},
        {-698, 7.24f, 0.33f, -1166, 0.02f, 16, 0.03f, 100},
        {-1000, 10.05f, 0.23f, -602, 0.02f, 198, 0.03f, 100},
        {-4000, 0.3f, 0.1f, -1831, 0.002f, -1630, 0.03f, 100},
        {-300, 1.49f, 0.59f, -1219, 0.007f, 441, 0.011f, 100},
        {-237, 2.7f, 0.79f, -1214, 0.013f, 395, 0.02f, 100},
        {-270, 1.49f, 0.86f, -1204, 0.007f, -4, 0.011f, 100},
        {-3300, 1.49f, 0.54f, -2560, 0.162f, -613, 0.088f, 79},
        {-800, 1.49f, 0.67f, -2273, 0.007f, -2217, 0.011f, 50},
        {-2500, 1.49f, 0.21f, -2780, 0.3f, -2014, 0.1f, 27},
        {-1000, 1.49f, 0.83f, -10000, 0.061f, 500, 0.025f, 100},
        {-2000, 1.49f, 0.5f, -2466, 0.179f, -2514, 0.1f, 21},
        {0, 1.65f, 1.5f, -1363, 0.008f, -1153, 0.012f, 100},
        {-1000, 2.81f, 0.14f, 429, 0.014f, 648, 0.021f, 80},
        {-4000, 1.49f, 0.1f, -449, 0.007f, 1700, 0.011f, 100},
    };
    for (int i = 0; i < 23; ++i) {
        const EaxListener& l = Environments()[i].listener;
        const Row& r = rows[i];
        SCOPED_TRACE(Environments()[i].name);
        EXPECT_EQ(l.lRoom, 0);
        EXPECT_EQ(l.lRoomHF, r.roomHF);
        EXPECT_EQ(l.flRoomRolloffFactor, 0.0f);
        EXPECT_EQ(l.flDecayTime, r.decay);
        EXPECT_EQ(l.flDecayHFRatio, r.hfRatio);
        EXPECT_EQ(l.lReflections, r.reflections);
        EXPECT_EQ(l.flReflectionsDelay, r.reflectionsDelay);
        EXPECT_EQ(l.lReverb, r.reverb);
        EXPECT_EQ(l.flReverbDelay, r.reverbDelay);
        EXPECT_FLOAT_EQ(l.flEnvironmentDiffusion * 100.0f, static_cast<float>(r.diffusionPercent));
    }
}

TEST(Environments, TheLastThreeWobble) {
    struct Expected {
        int index;
        float decay, hfRatio;
        int reflections, reverb;
    };
    for (const Expected& x :
         {Expected{23, 8.39f, 1.39f, -115, 985}, Expected{24, 17.23f, 0.56f, -1713, -613},
          Expected{25, 7.56f, 0.91f, -626, 774}}) {
        const EnvironmentPreset& e = Environments()[x.index];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.listener.flDecayTime, x.decay);
        EXPECT_EQ(e.listener.flDecayHFRatio, x.hfRatio);
        EXPECT_EQ(e.listener.lReflections, x.reflections);
        EXPECT_EQ(e.listener.lReverb, x.reverb);
        EXPECT_EQ(e.listener.flReverbDelay, 0.03f);
        EXPECT_GT(e.modulationDepth, 0.0f);
        EXPECT_GE(e.modulationTime, 0.04f);
        EXPECT_LE(e.modulationTime, 4.0f);
    }
    // Among the others only Under Water moves.
    for (int i = 0; i < 23; ++i) {
        EXPECT_EQ(Environments()[i].modulationDepth > 0.0f, i == 22) << Environments()[i].name;
    }
}

TEST(Environments, EveryValueLiesInItsRange) {
    for (const EnvironmentPreset& e : Environments()) {
        const EaxListener& l = e.listener;
        SCOPED_TRACE(e.name);
        EXPECT_TRUE(l.lRoomHF >= -10000 && l.lRoomHF <= 0);
        EXPECT_TRUE(l.flDecayTime >= 0.1f && l.flDecayTime <= 20.0f);
        EXPECT_TRUE(l.flDecayHFRatio >= 0.1f && l.flDecayHFRatio <= 2.0f);
        EXPECT_TRUE(l.lReflections >= -10000 && l.lReflections <= 1000);
        EXPECT_TRUE(l.flReflectionsDelay >= 0.0f && l.flReflectionsDelay <= 0.3f);
        EXPECT_TRUE(l.lReverb >= -10000 && l.lReverb <= 2000);
        EXPECT_TRUE(l.flReverbDelay >= 0.0f && l.flReverbDelay <= 0.1f);
        EXPECT_TRUE(l.flEnvironmentSize >= 1.0f && l.flEnvironmentSize <= 100.0f);
        EXPECT_TRUE(l.flEnvironmentDiffusion >= 0.0f && l.flEnvironmentDiffusion <= 1.0f);
        EXPECT_EQ(l.flAirAbsorptionHF, -5.0f);
        EXPECT_EQ(l.dwFlags & 0x1Fu, 0x1Fu);
        EXPECT_TRUE(e.echoDepth >= 0.0f && e.echoDepth <= 1.0f);
    }
}

} // namespace
} // namespace mixora
