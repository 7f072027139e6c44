// The equalizer panel: the band sliders' scale, the driver's record shown on
// the real base skin, the property sends and the preset menu.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "device/eq_channel.h"
#include "device/eq_presets.h"
#include "device/equalizer_operations.h"
#include "fakes/fake_dialog_view.h"
#include "fakes/fake_eq_channel.h"
#include "fakes/frame_harness.h"
#include "fakes/temp_dir.h"
#include "platform/posix/registry_store.h"

using namespace mixora;
using ::testing::_;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;

namespace {

struct Equalizer : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    TempDir dir;
    RegistryStore registry{dir.File("registry.reg"), nullptr};
    FakeEqChannel driver;
    FakeDialogRunner runner;
    std::map<std::string, std::string> table; // the selected language's EQ section
    CEqualizerOperations ops{
        driver,
        registry,
        records,
        resources,
        runner,
        [this](std::string_view section, std::string_view key, std::string& out) {
            auto it = table.find(std::string(key));
            if (section != "EQ" || it == table.end())
                return false;
            out = it->second;
            return true;
        }};
    Equalizer() { frame.OnCreate(); }

    int SliderPos(int id) { return frame.m_skin.Controls().FindSlider(id)->m_nPos; }
    int SliderRange(int id) { return frame.m_skin.Controls().FindSlider(id)->Range(); }
};

auto Item(std::uint32_t id, const std::string& text) {
    return AllOf(Field(&MenuItem::id, id), Field(&MenuItem::text, text));
}

} // namespace

TEST(EqualizerScale, SliderEndsAndMiddleGiveTheFullRange) {
    for (auto [fraction, gain] : {std::pair{0.0, 1200}, {0.5, 0}, {1.0, -1200}, {0.25, 600}}) {
        EXPECT_EQ(GainFromSliderFraction(fraction), gain);
        EXPECT_EQ(SliderFractionFromGain(gain), static_cast<float>(fraction));
    }
    EXPECT_EQ(GainFromSliderFraction(0.9999), -1199); // truncates toward zero
}

// The fifteen built-in presets as published, in order, none deleted.
TEST(BuiltinPresets, CarryThePublishedNamesAndGains) {
    const std::pair<const char*, std::array<std::int32_t, 10>> published[] = {
        {"Bass", {1000, 900, 800, 320, 0, -320, -500, -670, -800, -800}},
        {"Treble", {-800, -800, -800, -450, 0, 320, 900, 900, 900, 900}},
        {"Vocal", {-300, 500, 500, 500, -300, -300, -300, -300, -300, -300}},
        {"Powerful", {800, 790, 440, -440, -260, 150, 680, 790, 910, 970}},
        {"Pop", {-200, 200, 400, 580, 400, -200, -350, -350, -350, -350}},
        {"Live", {-360, 0, 420, 530, 590, 530, 250, 200, 100, 50}},
        {"Reggae", {0, 0, 0, -420, 0, 530, 530, 0, 0, 0}},
        {"Dance", {700, 480, 140, 0, 0, -370, -530, -530, 0, 0}},
        {"Club", {0, 0, 200, 500, 500, 500, 200, 0, 0, 0}},
        {"Soft", {200, 0, -130, -350, -130, 190, 400, 580, 680, 750}},
        {"Techno", {360, 250, 0, -480, -360, 0, 480, 580, 580, 400}},
        {"Ska", {-130, -430, -350, 0, 200, 360, 470, 480, 530, 480}},
        {"Rock", {400, 200, -250, -530, -250, 250, 530, 650, 650, 650}},
        {"Party", {550, 550, 0, 0, 0, 0, 0, 0, 550, 550}},
        {"Classical", {0, 0, 0, 0, 0, 0, -500, -500, -500, -600}}};
    const CBuiltinPresets presets;
    ASSERT_EQ(presets.Count(), 15);
    for (int i = 0; i < 15; ++i) {
        const BuiltinPreset& p = presets.At(i);
        EXPECT_EQ(std::tuple(std::string(p.name), p.gains, p.deleted),
                  std::tuple(std::string(published[i].first), published[i].second, 0));
    }
}

TEST_F(Equalizer, ShowEqualizerPutsTheDriverRecordOnThePanel) {
    const std::array<std::int32_t, 10> gains = {1200, 0, -1200, 600, -600, 1, -1, 300, 900, -300};
    for (int b = 0; b < 10; ++b)
        SetEqGain(driver.record, b, gains[static_cast<std::size_t>(b)]);
    SetEqMask(driver.record, kEqMaskOn);
    driver.record[8] = 0x5A; // a driver word, kept as read
    frame.m_skin.SetButtonState(kEqOnOffControl, 0);

    ops.ShowEqualizer(frame);

    EXPECT_EQ(frame.m_eq, driver.record);
    // Of the thumb's 41 steps, +12 dB at the top; fractions of a step are cut.
    const int steps[] = {0, 20, 41, 10, 30, 20, 20, 15, 5, 25};
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(SliderPos(kEqFirstBandControl + b), steps[b]) << "band " << b;
    EXPECT_EQ(frame.m_skin.GetButtonState(kEqOnOffControl), 1);

    SetEqMask(driver.record, 0); // off keeps the curve on the sliders
    ops.ShowEqualizer(frame);
    EXPECT_EQ(frame.m_skin.GetButtonState(kEqOnOffControl), 0);
    EXPECT_EQ(SliderPos(1088), 0);

    // No driver: flat and off, and nothing half-read.
    frame.m_eq.fill(7);
    frame.m_skin.SetButtonState(kEqOnOffControl, 1);
    driver.reachable = false;
    ops.ShowEqualizer(frame);
    EXPECT_EQ(frame.m_eq[0], 7);
    EXPECT_EQ(SliderPos(1090), SliderRange(1090) / 2);
    EXPECT_EQ(frame.m_skin.GetButtonState(kEqOnOffControl), 0);
    EXPECT_TRUE(driver.sets.empty());
}

TEST_F(Equalizer, PresetMenuPopsUpAtTheButtonsCentreInTheSelectedLanguage) {
    const RECT box = frame.m_skin.Controls().Find(kEqPresetControl)->m_rgn.Bounds();
    const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    table = {{"Reset", "RESET-T"}, {"Load...", "LOAD-T"}};
    EXPECT_CALL(host, TrackPopupMenu(ElementsAre(Item(32774, "Load..."), Item(32775, "Save..."),
                                                 Item(32776, "Delete..."), Item(0, ""),
                                                 Item(32777, "Reset")),
                                     centre));
    ops.ShowEqMenu(frame, kEqPresetControl); // no table selected yet

    records.g_wLanguage = 0x0404;
    EXPECT_CALL(host, TrackPopupMenu(ElementsAre(Item(32774, "LOAD-T"), Item(32775, "Save..."), _,
                                                 _, Item(32777, "RESET-T")),
                                     _));
    ops.ShowEqMenu(frame, kEqPresetControl);

    EXPECT_CALL(host, TrackPopupMenu(_, _)).Times(0);
    ops.ShowEqMenu(frame, 4242);
}
