#include "instrument/app/Threads.h"
#include "instrument/app/CLumetraApp.h"
#include "instrument/state/AppState.h"
#include "instrument/state/WindowMessages.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TempRoot.h"

#include "platform/DebugOut.h"
#include "platform/Device.h"
#include "platform/PowerKey.h"
#include "platform/Resources.h"
#include "platform/Sync.h"
#include "platform/Time.h"
#include "platform/VirtualKeys.h"
#include "simboard/SimBoard.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

class ThreadsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestRunning = 0;
        VflState = 0;
        simboard::RegisterSimulatedBoard();
        board.Reset();
        platform::SetTimeSource(time);
        platform::SetMessageBoxService(boxes);
        platform::SetDebugSink([this](std::string_view line) {
            std::lock_guard lock(debugMutex);
            debug += line;
        });
    }
    void TearDown() override {
        platform::SetDebugSink(nullptr);
        platform::SetMessageBoxService(nullptr);
    }
    bool Logged(const std::string& text) {
        std::lock_guard lock(debugMutex);
        return debug.find(text) != std::string::npos;
    }

    std::shared_ptr<platform::ManualTime> time = std::make_shared<platform::ManualTime>();
    std::shared_ptr<RecordingMessageBox> boxes = std::make_shared<RecordingMessageBox>();
    simboard::SimBoard& board = simboard::SimBoard::Instance();
    std::mutex debugMutex;
    std::string debug;
};

TEST_F(ThreadsTest, AutomaticPowerOffComesAtTheSixHundredthIdleSecond) {
    platform::MessageQueue queue;
    std::thread closer([&] { ThreadOfAutoClose(queue); });
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(599000);
    EXPECT_FALSE(board.PoweredOff());
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
    EXPECT_TRUE(Logged("afxclosemachine --- close count = 600 \r\n"));
    EXPECT_TRUE(Logged("AfxCloseMachine------------------\r\n"));
    EXPECT_EQ(boxes->Count(), 0u); // no question on this path
    queue.Post(WM_AUTOCLOSE_QUIT);
    time->Advance(1000);
    closer.join();
}

TEST_F(ThreadsTest, ATestOrTheLightKeepsTheIdleCountAtZero) {
    platform::MessageQueue queue;
    std::thread closer([&] { ThreadOfAutoClose(queue); });
    ASSERT_TRUE(time->WaitForSleepers(1));
    TestRunning = 1;
    time->Advance(700000);
    TestRunning = 0;
    VflState = 2;
    time->Advance(700000);
    VflState = 0;
    time->Advance(599000);
    EXPECT_FALSE(board.PoweredOff());
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
    queue.Post(WM_AUTOCLOSE_QUIT);
    time->Advance(1000);
    closer.join();
}

TEST_F(ThreadsTest, AResetAtSecond599PostponesThePowerOffBy600Seconds) {
    platform::MessageQueue queue;
    std::thread closer([&] { ThreadOfAutoClose(queue); });
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(599000);
    queue.Post(WM_AUTOCLOSE_RESET);
    time->Advance(1000);
    time->Advance(599000);
    EXPECT_FALSE(board.PoweredOff());
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
    queue.Post(WM_AUTOCLOSE_QUIT);
    time->Advance(1000);
    closer.join();
}

TEST_F(ThreadsTest, ABurstOfResetsRestartsTheCountOnceNotOncePerReset) {
    platform::MessageQueue queue;
    std::thread closer([&] { ThreadOfAutoClose(queue); });
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(10000);
    for (int i = 0; i < 100; ++i)
        queue.Post(WM_AUTOCLOSE_RESET);
    // The pass at 11 s takes the burst; the 600th idle second after it is 611 s.
    time->Advance(600000);
    EXPECT_FALSE(board.PoweredOff());
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
    EXPECT_EQ(queue.Size(), 0u);
    queue.Post(WM_AUTOCLOSE_QUIT);
    time->Advance(1000);
    closer.join();
}

TEST_F(ThreadsTest, AQuitBehindQueuedResetsEndsTheThreadInOnePass) {
    platform::MessageQueue queue;
    std::atomic<bool> ended{false};
    std::thread closer([&] {
        ThreadOfAutoClose(queue);
        ended = true;
    });
    ASSERT_TRUE(time->WaitForSleepers(1));
    for (int i = 0; i < 20; ++i)
        queue.Post(WM_AUTOCLOSE_RESET);
    queue.Post(WM_AUTOCLOSE_QUIT);
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return ended.load(); }));
    // Lets a thread that lags behind its queue finish, so the test ends either way.
    time->Advance(60000);
    closer.join();
}

TEST_F(ThreadsTest, TurningPowerOffOffAndOnAfterManyKeysWaitsOnePass) {
    AutoCloseOn = 1;
    FakeFrontend frontend;
    CLumetraApp app(frontend);
    app.StartAutoClose();
    ASSERT_TRUE(time->WaitForSleepers(1));
    for (int i = 0; i < 20; ++i)
        app.PreTranslateMessage(platform::WM_LBUTTONDOWN, 0);
    app.StopAutoClose();
    // Starting again waits for the old thread; the interface thread blocks for as long.
    std::atomic<bool> restarted{false};
    std::thread ui([&] {
        app.StartAutoClose();
        restarted = true;
    });
    time->Advance(1000);
    EXPECT_TRUE(Eventually([&] { return restarted.load(); }));
    time->Advance(60000);
    ui.join();
    EXPECT_TRUE(app.HasAutoCloseThread());
}

TEST_F(ThreadsTest, AutoCloseThreadIsStartedOnceAndEndsOnQuit) {
    FakeFrontend frontend;
    CLumetraApp app(frontend);
    app.StartAutoClose();
    app.StartAutoClose();
    ASSERT_TRUE(time->WaitForSleepers(1));
    EXPECT_FALSE(time->WaitForSleepers(2, 50));
    app.StopAutoClose();
    EXPECT_FALSE(app.HasAutoCloseThread());
    time->Advance(1000);
    // Once ended, no count runs: the power stays on.
    time->Advance(1200000);
    EXPECT_FALSE(board.PoweredOff());
    app.StartAutoClose();
    EXPECT_TRUE(app.HasAutoCloseThread());
}

TEST_F(ThreadsTest, PowerKeyAsksUnlessATestOrTheLightIsOn) {
    static FakeFrontend frontend;
    std::thread([] { ThreadOfPowerKey(frontend); }).detach();
    ASSERT_TRUE(Eventually([&] { return Logged("waitforsingleobject -----\r\n"); }));
    ShutOffText = u"Switch off?";
    MessageTitle = u"Prompt";

    TestRunning = 1;
    platform::PressPowerKey();
    VflState = 1;
    TestRunning = 0;
    platform::PressPowerKey();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(boxes->Count(), 0u);

    VflState = 0;
    boxes->answer = platform::IDNO;
    platform::PressPowerKey();
    ASSERT_TRUE(Eventually([&] { return Logged("waitforsingleobject ok-----\r\n"); }));
    ASSERT_EQ(boxes->Count(), 1u);
    EXPECT_EQ(boxes->shown[0].text, u"Switch off?");
    EXPECT_EQ(boxes->shown[0].title, u"Prompt");
    EXPECT_EQ(boxes->shown[0].flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_FALSE(board.PoweredOff());
    EXPECT_EQ(frontend.closeBacks, 0);

    boxes->answer = platform::IDYES;
    platform::PressPowerKey();
    EXPECT_TRUE(Eventually([&] { return board.PoweredOff(); }));
    EXPECT_EQ(frontend.closeBacks, 1);
}

TEST_F(ThreadsTest, LightThreadWithoutItsDeviceEndsAfterItsTwoLines) {
    platform::UnregisterDriver("POF1:");
    platform::MessageQueue queue;
    queue.Post(WM_VFL_ON);
    ThreadOfVfl(queue);
    EXPECT_TRUE(Logged("CreateFile otdr failed!\r\nUnable to open , Error No.=2 \r\n"));
    EXPECT_FALSE(board.LightOn());
}

TEST_F(ThreadsTest, UpdaterFileIsWrittenByteForByteAndExecutable) {
    TempRoot root;
    root.Write("NandFlash/Vantrel.exe", std::string(5000, 'o'));
    static const uint8_t image[] = {0x7F, 'E', 'L', 'F', 0, 1, 2, 3};
    platform::RegisterResource(174, "UPDATA", image);
    ThreadOfWriteUpdater({174, "UPDATA", "Vantrel.exe"});
    EXPECT_EQ(root.Read("NandFlash/Vantrel.exe"),
              std::string(reinterpret_cast<const char*>(image), sizeof image));
    EXPECT_TRUE(Logged("filename = Vantrel.exe \r\nUpdata ok \r\n"));
    const auto perms = std::filesystem::status(root.Path() / "NandFlash/Vantrel.exe").permissions();
    EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);

    // A missing resource or flash folder writes nothing further.
    debug.clear();
    ThreadOfWriteUpdater({175, "UPDATA", "Other.exe"});
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "NandFlash/Other.exe"));
    std::filesystem::remove_all(root.Path() / "NandFlash");
    ThreadOfWriteUpdater({174, "UPDATA", "Vantrel.exe"});
    EXPECT_FALSE(Logged("Updata ok"));
}

} // namespace
