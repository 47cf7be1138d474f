#include "platform/Clock.h"
#include "platform/Sync.h"
#include "platform/Time.h"

#include "tests/support/FifoTrap.h"
#include "tests/support/TempRoot.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

TEST(ClockTest, RefusesInvalidDatesAndKeepsTheOffsetInTheDeviceRoot) {
    TempRoot root;
    platform::LocalTime time = platform::GetLocalTime();
    time.year = 2031;
    time.month = 2;
    time.day = 31;
    EXPECT_FALSE(platform::SetLocalTime(time));
    time.day = 29;
    EXPECT_FALSE(platform::SetLocalTime(time)); // 2031 is no leap year
    time.year = 2032;
    EXPECT_TRUE(platform::SetLocalTime(time));
    for (const auto& bad : {platform::LocalTime{2020, 13, 0, 1}, platform::LocalTime{2020, 4, 0, 31},
                            platform::LocalTime{2020, 1, 0, 1, 24}, platform::LocalTime{1500, 1, 0, 1}})
        EXPECT_FALSE(platform::IsValidLocalTime(bad));

    // A new clock object reads the same offset back from the root.
    const platform::LocalTime back = platform::VirtualClock().Get();
    EXPECT_EQ(back.year, 2032);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.dayOfWeek, 0); // 29 February 2032 is a Sunday
    EXPECT_TRUE(std::filesystem::exists(platform::VirtualClock::OffsetFile()));

    // Another root has its own clock: the host's.
    TempRoot other;
    EXPECT_LT(platform::GetLocalTime().year, 2032);
}

TEST(ClockTest, AFailedWriteKeepsTheOffsetAndAFifoInItsPlaceIsNeverOpened) {
    TempRoot root;
    platform::LocalTime time = platform::GetLocalTime();
    time.year = 2032;
    time.day = std::min(time.day, 28);
    ASSERT_TRUE(platform::SetLocalTime(time));
    // As on a full disk: not a byte more can be written.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit { 0, 0 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        time.year = 2040;
        ::_exit(platform::SetLocalTime(time) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write must fail";
    EXPECT_EQ(platform::GetLocalTime().year, 2032);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root.Path()))
        ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file left behind";

    std::filesystem::remove(platform::VirtualClock::OffsetFile());
    FifoTrap fifo(platform::VirtualClock::OffsetFile());
    EXPECT_LT(platform::GetLocalTime().year, 2032);
    EXPECT_EQ(fifo.Openings(), 0);
}

TEST(ManualTimeTest, WakesSleepersStepByStep) {
    auto time = std::make_shared<platform::ManualTime>();
    platform::SetTimeSource(time);
    std::atomic<int> passes{0};
    std::atomic<bool> stop{false};
    std::thread sleeper([&] {
        while (!stop) {
            platform::Sleep(1000);
            ++passes;
        }
    });
    ASSERT_TRUE(time->WaitForSleepers(1));
    time->Advance(999);
    EXPECT_EQ(passes, 0);
    time->Advance(600001);
    EXPECT_TRUE(time->WaitForSleepers(1));
    EXPECT_EQ(passes, 601);
    EXPECT_EQ(platform::GetTickCount(), 601000u);
    stop = true;
    time->Advance(1000);
    sleeper.join();
    platform::SetTimeSource(nullptr);
}

TEST(FastTimeTest, SleepsAddUpWithoutWaiting) {
    auto time = std::make_shared<platform::FastTime>();
    platform::SetTimeSource(time);
    for (int i = 0; i < 1000; ++i)
        platform::Sleep(220);
    EXPECT_EQ(time->SleptMs(), 220000u);
    EXPECT_EQ(platform::GetTickCount(), 220000u);
    platform::SetTimeSource(nullptr);
}

TEST(FastTimeTest, AThreadsOwnSourceLeavesTheOtherThreadsInTheirs) {
    auto process = std::make_shared<platform::ManualTime>();
    platform::SetTimeSource(process);
    auto fast = std::make_shared<platform::FastTime>();
    std::thread worker([fast] {
        platform::SetThreadTimeSource(fast);
        platform::Sleep(300000);
        platform::SetThreadTimeSource(nullptr);
    });
    worker.join();
    EXPECT_EQ(fast->SleptMs(), 300000u);
    EXPECT_EQ(process->Now(), 0u);
    EXPECT_EQ(platform::GetTickCount(), 0u);
    platform::SetTimeSource(nullptr);
}

TEST(SyncTest, NamedEventsAreSharedAndQueuesKeepEarlyMessages) {
    const auto created = platform::CreateNamedEvent("otdrPowerOff", true, false);
    EXPECT_EQ(platform::OpenNamedEvent("otdrPowerOff"), created);
    EXPECT_EQ(platform::CreateNamedEvent("otdrPowerOff", true, false), created);
    EXPECT_FALSE(created->Wait(0));
    EXPECT_TRUE(platform::SetNamedEvent("otdrPowerOff"));
    EXPECT_TRUE(created->Wait(0));
    EXPECT_TRUE(created->Wait(0)); // manual reset stays signalled
    created->Reset();
    EXPECT_FALSE(created->Wait(10));
    EXPECT_FALSE(platform::SetNamedEvent("nobody"));

    platform::Event automatic(false, true);
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0));

    platform::MessageQueue queue;
    queue.Post(1);
    queue.Post(2, 7);
    platform::ThreadMessage message;
    std::thread late([&] {
        ASSERT_TRUE(queue.Wait(message, 1000));
        EXPECT_EQ(message.message, 1u);
        ASSERT_TRUE(queue.Peek(message));
        EXPECT_EQ(message.wParam, 7u);
        EXPECT_FALSE(queue.Peek(message));
    });
    late.join();
    EXPECT_FALSE(queue.Wait(message, 5));
}

} // namespace
