#include "instrument/app/CLumetraApp.h"
#include "instrument/state/AppState.h"
#include "tests/app/AppTestSupport.h"

#include "platform/Device.h"
#include "platform/Time.h"
#include "platform/VirtualKeys.h"
#include "simboard/SimBoard.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

class KeyFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestRunning = 0;
        VflState = 0;
        StopRealtimeRequest = 0;
        AutoCloseOn = 1;
        simboard::RegisterSimulatedBoard();
        simboard::SimBoard::Instance().Reset();
        platform::SetTimeSource(time);
    }
    void TearDown() override { TestRunning = 0; }

    bool Down(uint32_t vk) { return app.PreTranslateMessage(WM_KEYDOWN, vk); }
    bool Up(uint32_t vk) { return app.PreTranslateMessage(WM_KEYUP, vk); }
    void Hold(uint32_t vk, int downs) {
        for (int i = 0; i < downs; ++i)
            Down(vk);
        Up(vk);
    }

    std::shared_ptr<ManualTime> time = std::make_shared<ManualTime>();
    FakeFrontend frontend;
    CLumetraApp app{frontend};
    simboard::SimBoard& board = simboard::SimBoard::Instance();
};

TEST_F(KeyFilterTest, RelaysEveryKeyUnlessATestRunsAndConsumesOnlyEscape) {
    EXPECT_FALSE(Down(VK_F1));
    EXPECT_FALSE(Up(VK_F1));
    EXPECT_TRUE(Down(VK_ESCAPE));
    EXPECT_TRUE(Up(VK_ESCAPE));
    EXPECT_FALSE(Down(VK_RIGHT));
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {{VK_F1, WM_KEYDOWN},
                                                                 {VK_F1, WM_KEYUP},
                                                                 {VK_ESCAPE, WM_KEYDOWN},
                                                                 {VK_ESCAPE, WM_KEYUP},
                                                                 {VK_RIGHT, WM_KEYDOWN}};
    EXPECT_EQ(frontend.relayed, expected);
    // Stylus presses are no keys.
    EXPECT_FALSE(app.PreTranslateMessage(WM_LBUTTONDOWN, 0));
    EXPECT_EQ(frontend.relayed.size(), 5u);

    frontend.relayed.clear();
    TestRunning = 1;
    for (uint32_t vk : {VK_F1, VK_F4, VK_LEFT, VK_RETURN, VK_T, VK_V, VK_ESCAPE})
        Hold(vk, 1);
    EXPECT_TRUE(frontend.relayed.empty());
    EXPECT_TRUE(Down(VK_ESCAPE));
}

TEST_F(KeyFilterTest, ReleaseOfEscapeOrTStopsOnlyARealTimeTest) {
    TestRunning = 1;
    app.TestMode = 1;
    Down(VK_ESCAPE);
    EXPECT_EQ(StopRealtimeRequest, 0);
    Up(VK_ESCAPE);
    EXPECT_EQ(StopRealtimeRequest, 1);
    StopRealtimeRequest = 0;
    Down(VK_T);
    EXPECT_EQ(StopRealtimeRequest, 0);
    Up(VK_T);
    EXPECT_EQ(StopRealtimeRequest, 1);
    EXPECT_EQ(frontend.quickTests, 0);

    StopRealtimeRequest = 0;
    app.TestMode = 0;
    Hold(VK_ESCAPE, 1);
    Hold(VK_T, 1);
    EXPECT_EQ(StopRealtimeRequest, 0);
}

TEST_F(KeyFilterTest, TStartsAQuickTestOnReleaseFromTheTraceViewOnly) {
    Down(VK_T);
    EXPECT_EQ(frontend.quickTests, 0);
    Up(VK_T);
    EXPECT_EQ(frontend.quickTests, 1);
    frontend.traceView = false;
    Hold(VK_T, 1);
    EXPECT_EQ(frontend.quickTests, 1);
    frontend.traceView = true;
    VflState = 1;
    Hold(VK_T, 1);
    EXPECT_EQ(frontend.quickTests, 1);
}

TEST_F(KeyFilterTest, LongPressOfVAdvancesTheLightCycleOnce) {
    // Quick taps and a double press do nothing.
    for (int i = 0; i < 4; ++i)
        Hold(VK_V, 1);
    Hold(VK_V, 2);
    EXPECT_EQ(VflState, 0);
    EXPECT_FALSE(app.HasVflThread());

    Down(VK_V);
    Down(VK_V);
    EXPECT_EQ(VflState, 0);
    Down(VK_V);
    EXPECT_EQ(VflState, 1);
    for (int i = 0; i < 10; ++i)
        Down(VK_V); // still the same press
    Up(VK_V);
    EXPECT_EQ(VflState, 1);
    EXPECT_TRUE(app.HasVflThread());
    // The thread polls its queue once a second.
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.LightOn(); }));

    Hold(VK_V, 3);
    EXPECT_EQ(VflState, 2);
    // Flashing: on and off in half seconds.
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(1500);
    EXPECT_TRUE(Eventually([&] { return board.Calls("POF1:", platform::POF_IOCTL_VFL_OFF) >= 1; }));
    const uint64_t ons = board.Calls("POF1:", platform::POF_IOCTL_VFL_ON);
    time->Advance(3000);
    EXPECT_GE(board.Calls("POF1:", platform::POF_IOCTL_VFL_ON), ons + 2);

    Hold(VK_V, 3);
    EXPECT_EQ(VflState, 0);
    EXPECT_FALSE(app.HasVflThread());
    time->Advance(2000);
    EXPECT_TRUE(Eventually([&] { return !board.LightOn(); }));

    // A new cycle gets a new thread and lights again.
    Hold(VK_V, 3);
    EXPECT_EQ(VflState, 1);
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(2000);
    EXPECT_TRUE(Eventually([&] { return board.LightOn(); }));
}

TEST_F(KeyFilterTest, VDoesNothingDuringATest) {
    TestRunning = 1;
    Hold(VK_V, 5);
    EXPECT_EQ(VflState, 0);
    // A press begun during the test is counted from its first key-down after it.
    TestRunning = 0;
    Down(VK_V);
    Down(VK_V);
    EXPECT_EQ(VflState, 0);
    Down(VK_V);
    EXPECT_EQ(VflState, 1);
}

TEST_F(KeyFilterTest, KeyDownsAndStylusPressesPostponeTheAutomaticPowerOff) {
    app.StartAutoClose();
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(599500);
    Down(VK_DOWN);
    time->Advance(600000);
    EXPECT_FALSE(board.PoweredOff());
    app.PreTranslateMessage(WM_LBUTTONDOWN, 0);
    time->Advance(600000);
    EXPECT_FALSE(board.PoweredOff());
    // Releases are no activity.
    Up(VK_DOWN);
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
}

} // namespace
