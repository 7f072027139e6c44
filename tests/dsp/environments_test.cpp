// The environment table as the menu and the driver see it: names, order and
// every listener value.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "dsp/environments.h"

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
        EXPECT_EQ(ListenerForEnvironment(i).flDecayTime, e.listener.flDecayTime) << e.name;
    }
    EXPECT_EQ(ListenerForEnvironment(-1).dwEnvironment, 0u);
    EXPECT_EQ(ListenerForEnvironment(26).dwEnvironment, 0u);
}

TEST(Environments, TheLastThreeWobbleAndEveryValueLiesInItsRange) {
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
        EXPECT_EQ(std::tuple(e.listener.flDecayTime, e.listener.flDecayHFRatio,
                             e.listener.lReflections, e.listener.lReverb, e.listener.flReverbDelay),
                  std::tuple(x.decay, x.hfRatio, x.reflections, x.reverb, 0.03f));
        EXPECT_GT(e.modulationDepth, 0.0f);
        EXPECT_GE(e.modulationTime, 0.04f);
        EXPECT_LE(e.modulationTime, 4.0f);
    }
    auto in = [](auto v, auto lo, auto hi) { return v >= lo && v <= hi; };
    for (std::size_t i = 0; i < Environments().size(); ++i) {
        const EnvironmentPreset& e = Environments()[i];
        const EaxListener& l = e.listener;
        SCOPED_TRACE(e.name);
        // Among the first 23 only Under Water moves.
        EXPECT_EQ(e.modulationDepth > 0.0f, i >= 22);
        EXPECT_TRUE(in(l.lRoomHF, -10000, 0) && in(l.flDecayTime, 0.1f, 20.0f) &&
                    in(l.flDecayHFRatio, 0.1f, 2.0f));
        EXPECT_TRUE(in(l.lReflections, -10000, 1000) && in(l.flReflectionsDelay, 0.0f, 0.3f));
        EXPECT_TRUE(in(l.lReverb, -10000, 2000) && in(l.flReverbDelay, 0.0f, 0.1f));
        EXPECT_TRUE(in(l.flEnvironmentSize, 1.0f, 100.0f) &&
                    in(l.flEnvironmentDiffusion, 0.0f, 1.0f));
        EXPECT_TRUE(in(e.echoDepth, 0.0f, 1.0f));
        EXPECT_EQ(std::tuple(l.lRoom, l.flRoomRolloffFactor, l.flAirAbsorptionHF),
                  std::tuple(0, 0.0f, -5.0f));
        EXPECT_EQ(l.dwFlags & 0x1Fu, 0x1Fu);
    }
}

} // namespace
} // namespace mixora
