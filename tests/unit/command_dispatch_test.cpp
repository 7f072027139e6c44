// Every command of the window on the real base skin: what it changes in the
// window's fields and buttons, and which operation it reaches with what.
#include <climits>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vector>

#include "app/main_frame.h"
#include "device/eq_record.h"
#include "fakes/frame_harness.h"
#include "platform/message_box.h"

using namespace mixora;
using ::testing::_;
using ::testing::InSequence;
using ::testing::Pointee;
using ::testing::Return;

namespace {

std::vector<std::uint8_t> Le32(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    return {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
}

MATCHER_P(BytesAre, expected, "") {
    return std::vector<std::uint8_t>(arg.begin(), arg.end()) == expected;
}

struct CommandDispatch : ::testing::Test, FrameHarness {
    CMainFrame frame{Services()};
    CommandDispatch() { frame.OnCreate(); }
    bool Command(WPARAM id) { return frame.OnCommand(id, 0); }
    void VerifyAndClearOperations() {
        ::testing::Mock::VerifyAndClearExpectations(&effects);
        ::testing::Mock::VerifyAndClearExpectations(&playback);
        ::testing::Mock::VerifyAndClearExpectations(&recorder);
    }
};

using Expect = std::function<void()>;

TEST_F(CommandDispatch, FileDialogRowsCountAsBusySoPowerWaitsForThem) {
    // The dialog's own message loop delivers a Power click posted earlier.
    int busyInside = -1;
    auto whileOpen = [&](CMainFrame& f) {
        busyInside = f.m_nBusy;
        f.OnCommand(1082, 0);
        EXPECT_EQ(f.m_bReload, 0);
    };
    const std::vector<std::pair<WPARAM, Expect>> rows = {
        {1005, [&] { EXPECT_CALL(playback, OpenMediaFiles(_)).WillOnce(whileOpen); }},
        {1078, [&] { EXPECT_CALL(playback, ClearPlaylist(_)).WillOnce(whileOpen); }},
        {1079, [&] { EXPECT_CALL(playback, LoadPlaylistFile(_)).WillOnce(whileOpen); }},
    };
    EXPECT_CALL(host, PostMessage(_, _, _)).Times(0);
    for (const auto& [id, expect] : rows) {
        SCOPED_TRACE(id);
        expect();
        busyInside = -1;
        frame.m_bReload = 0;
        Command(id);
        EXPECT_EQ(busyInside, 1);
        EXPECT_EQ(frame.m_nBusy, 0);
        // Clearing marks the list for reloading, even a list already empty.
        EXPECT_EQ(frame.m_bReload, id == 1078 ? 1 : 0);
        VerifyAndClearOperations();
    }
    ::testing::Mock::VerifyAndClearExpectations(&host);
    EXPECT_CALL(host, PostMessage(WM_CLOSE, 0, 0));
    Command(1082);
}

TEST_F(CommandDispatch, RepeatCyclesFourModesKeepingTheRemainderSign) {
    for (int expected : {1, 2, 3, 0, 1}) {
        Command(1006);
        EXPECT_EQ(frame.m_nRepeatMode, expected);
        EXPECT_EQ(frame.m_skin.GetButtonState(1006), expected);
    }
    frame.m_nRepeatMode = -3; // a hand-edited settings file
    Command(1006);
    EXPECT_EQ(frame.m_nRepeatMode, -2);
    frame.m_nRepeatMode = INT_MAX;
    Command(1006);
    EXPECT_EQ(frame.m_nRepeatMode, 0);
}

TEST_F(CommandDispatch, KeyShiftOnTheMixerOnTheDriverAndWithTheDeviceUnreachable) {
    // On the mixer: the field moves first, the lamp going out and the one
    // coming on are presented.
    EXPECT_CALL(effects, SetMixerKeyShift(_)).WillOnce([](CDeviceWindow& f) {
        EXPECT_EQ(f.m_nKeyShift, -1);
    });
    EXPECT_CALL(host, InvalidateRect(Pointee(frame.m_rcKeyLamps[5])));
    EXPECT_CALL(host, InvalidateRect(Pointee(frame.m_rcKeyLamps[4])));
    Command(1069);
    ::testing::Mock::VerifyAndClearExpectations(&host);

    frame.m_bDriverFound = 1;
    EXPECT_CALL(effects, EnsureDevice()).WillOnce(Return(false));
    EXPECT_CALL(effects, SetPitchShift(_)).Times(0);
    EXPECT_CALL(host, InvalidateRect(_)).Times(0);
    Command(1068);
    EXPECT_EQ(frame.m_nKeyShift, 0) << "unreachable: the field moves, nothing is shown";
    ::testing::Mock::VerifyAndClearExpectations(&host);
    VerifyAndClearOperations();

    // At the limit the shift stays but is still sent and redrawn; the field
    // is moved behind the lamps' back so the redraw shows.
    ON_CALL(effects, EnsureDevice()).WillByDefault(Return(true));
    EXPECT_CALL(host, InvalidateRect(_)).Times(::testing::AnyNumber());
    for (auto [id, limit, lamp] : {std::tuple{1068, 4, 0}, std::tuple{1069, -4, 8}}) {
        frame.m_nKeyShift = limit;
        InSequence order;
        EXPECT_CALL(effects, SetPitchShift(limit)).WillOnce(Return(true));
        EXPECT_CALL(effects, ReleaseDevice());
        EXPECT_CALL(host, InvalidateRect(Pointee(frame.m_rcKeyLamps[lamp]))).RetiresOnSaturation();
        Command(id);
        EXPECT_EQ(frame.m_nKeyShift, limit);
    }
}

TEST_F(CommandDispatch, EqualizerSwitchSendsTheWholeRecordAndKeepsTheCurve) {
    frame.m_eq[12] = 0x2C; // band 2 at +300
    frame.m_eq[13] = 0x01;
    auto record = [&](std::uint32_t mask) {
        std::vector<std::uint8_t> r(frame.m_eq.begin(), frame.m_eq.end());
        std::copy_n(Le32(static_cast<std::int32_t>(mask)).begin(), 4, r.begin());
        return r;
    };
    // A failing device (the default answer) changes nothing here.
    EXPECT_CALL(effects, SetEqProperty(39, BytesAre(record(0x3FF))));
    Command(1086);
    EXPECT_EQ(frame.m_skin.GetButtonState(1086), 1);
    EXPECT_CALL(effects, SetEqProperty(39, BytesAre(record(0))));
    Command(1086);
    EXPECT_EQ(frame.m_skin.GetButtonState(1086), 0);
    EXPECT_EQ(EqGain(frame.m_eq, 1), 300);

    // A look the switch has no meaning for leaves everything alone.
    frame.m_skin.SetButtonState(1086, 2);
    EXPECT_CALL(effects, SetEqProperty(_, _)).Times(0);
    Command(1086);
}

TEST_F(CommandDispatch, BandSlidersGivePlus1200AtTheTopAndMinus1200AtTheBottom) {
    const int properties[] = {1, 4, 8, 12, 16, 20, 24, 28, 32, 36};
    for (int band = 0; band < 10; ++band) {
        for (auto [fraction, gain] : {std::pair{0.0, 1200}, std::pair{1.0, -1200}}) {
            frame.m_skin.SetSliderFraction(1088 + band, fraction);
            EXPECT_CALL(effects, SetEqProperty(properties[band], BytesAre(Le32(gain))));
            Command(static_cast<WPARAM>(1088 + band));
            EXPECT_EQ(EqGain(frame.m_eq, band), gain) << band;
        }
    }
    // The base skin's band thumb has 41 whole-pixel steps, so there is no
    // exact middle: half way lands on step 20, 20/41 of the track, and reads
    // back as 1200 - trunc(1170.7) = +30; an exact half would give 0.
    frame.m_skin.SetSliderFraction(1092, 0.5);
    ASSERT_DOUBLE_EQ(frame.m_skin.GetSliderFraction(1092), 20.0 / 41.0);
    EXPECT_CALL(effects, SetEqProperty(16, BytesAre(Le32(30))));
    Command(1092);
    EXPECT_EQ(EqGain(frame.m_eq, 4), 30);
}

} // namespace
