// The environment table as the menu and the driver see it: names, order and
// every listener value.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
        // Among the first 23 only Under Water moves; the last three all do.
        EXPECT_EQ(e.modulationDepth > 0.0f, i >= 22) << e.name;
    }
    EXPECT_EQ(ListenerForEnvironment(-1).dwEnvironment, 0u);
    EXPECT_EQ(ListenerForEnvironment(26).dwEnvironment, 0u);
}

} // namespace
} // namespace mixora
