#include "instrument/acquisition/AutoTest.h"
#include "instrument/acquisition/AveragingTest.h"
#include "instrument/acquisition/RealtimeTest.h"
#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/SmoothingFilter.h"
#include "instrument/acquisition/TestThread.h"
#include "instrument/acquisition/TraceConsumer.h"
#include "instrument/acquisition/TraceData.h"

#include "platform/Device.h"
#include "platform/Time.h"

#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

// A board that keeps every register write and answers each FIFO read with its FIFO position.
struct BoardLog {
    std::mutex mutex;
    std::vector<std::pair<uint32_t, uint16_t>> writes;
    uint32_t position = 0;
    uint64_t reads = 0;
    uint64_t Count(uint32_t reg) {
        std::lock_guard lock(mutex);
        uint64_t n = 0;
        for (const auto& write : writes)
            n += write.first == reg;
        return n;
    }
    std::vector<uint16_t> Values(uint32_t reg) {
        std::lock_guard lock(mutex);
        std::vector<uint16_t> values;
        for (const auto& write : writes)
            if (write.first == reg)
                values.push_back(write.second);
        return values;
    }
};

class RecordingBoard : public platform::DeviceDriver {
public:
    explicit RecordingBoard(BoardLog& log) : log_(log) {}
    int IoControl(uint32_t code, const void* in, uint32_t, void* out, uint32_t) override {
        std::lock_guard lock(log_.mutex);
        if (code == platform::OTDR_IOCTL_WRITE) {
            const auto* buffer = static_cast<const platform::RegisterWriteBuffer*>(in);
            log_.writes.emplace_back(buffer->reg, buffer->value);
            log_.position += buffer->reg == 0x2D0;
            return 1;
        }
        *static_cast<uint32_t*>(out) = log_.position;
        ++log_.reads;
        return 1;
    }

private:
    BoardLog& log_;
};

// An engine whose sums the test may look at.
class OpenAveragingTest : public AveragingTest {
public:
    using AveragingTest::AveragingTest;
    const std::vector<uint32_t>& Sums() const { return pSamAvg; }
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::RegisterDriver("OTR1:", [this] { return std::make_unique<RecordingBoard>(log); });
        platform::SetTimeSource(time);
        otr = platform::OpenDevice("OTR1:");
    }
    void TearDown() override {
        platform::CloseDevice(otr);
        platform::SetTimeSource(nullptr);
    }
    void Set(float range, float pulse, int average, int way = kAveragingTest) {
        params.items[kRangeItem].value = range;
        params.items[kWavelengthItem].value = 1310;
        params.items[kPulseWidthItem].value = pulse;
        params.items[kAttenuationItem].value = 5;
        testWay.TestMode = way;
        testWay.m_iAvgTime = average;
    }
    EngineContext Context(int version = 0) { return EngineContext{ring, stop, 0.0f, version}; }

    BoardLog log;
    std::shared_ptr<platform::FastTime> time = std::make_shared<platform::FastTime>();
    platform::DeviceHandle otr = platform::INVALID_HANDLE_VALUE;
    TestParameterTable params;
    TestWayPair testWay;
    SampleRing ring;
    std::atomic<int> stop{0};
};

TEST_F(EngineTest, ThirtyTwoKilometreAveragingTest) {
    Set(32, 320, 7);
    AveragingTest engine(otr, params, testWay, Context());
    engine.Configure();
    engine.Run(0);
    EXPECT_EQ(log.Count(0x250), 1u + 7 * 64); // the arm strobe and the shot groups
    EXPECT_EQ(log.reads, 6096u);
    EXPECT_EQ(log.Count(0x2D0), 2u + 6096 + 13904);
    EXPECT_EQ(ring.Filled(), 1);
    EXPECT_EQ(ring.Take().size(), 4096u);
    EXPECT_EQ(engine.InvalidDotInFifo(), 0u);
    // The mandated waits: arm 5 ms, 3 ms a group.
    EXPECT_EQ(time->SleptMs(), 5u + 7 * 64 * 3);
}

TEST_F(EngineTest, HalfKilometreInterleavesFortyPhases) {
    Set(0.5f, 10, 1);
    OpenAveragingTest engine(otr, params, testWay, Context());
    engine.Configure();
    engine.Run(0);
    const std::vector<uint16_t> phases = log.Values(0x310);
    ASSERT_EQ(phases.size(), 16u * 40);
    for (size_t i = 0; i < 40; ++i)
        EXPECT_EQ(phases[i], 100 - 2 * i);
    EXPECT_EQ(phases[40], 100);
    // Each phase spans 570 FIFO words: 64 trace words, 456 skipped, 50 noise words. Flush advanced twice.
    const std::vector<uint32_t>& sums = engine.Sums();
    for (uint32_t i = 0; i < 40; ++i) {
        const uint32_t first = 2 + i * 570 + 1;
        EXPECT_EQ(sums[i], first) << i;
        EXPECT_EQ(sums[i + 40], first + 1);
        EXPECT_EQ(sums[i + 63 * 40], first + 63);
        EXPECT_EQ(sums[i + 64 * 40], first + 520) << "first noise word after the skip";
    }
    EXPECT_EQ(log.reads, 40u * 114);
}

TEST_F(EngineTest, RealTimeRunsExactlyOneHundredCyclesOrStopsWhenAsked) {
    // The consumer runs for the rest of the process, as in the program: what it uses must too.
    static auto* liveRing = new SampleRing;
    static auto* trace = new TraceData;
    static auto* shown = new std::atomic<int>{0};
    static TraceConsumer consumer(*liveRing, *trace, [] { ++*shown; });
    const EngineContext live{*liveRing, stop, 0.0f, 1};
    Set(2, 80, 0, kRealtimeTest);
    RealtimeTest engine(otr, params, testWay, live);
    engine.Configure();
    engine.Run(0);
    EXPECT_EQ(log.Count(0x280), 100u); // one arm a cycle
    EXPECT_EQ(log.Count(0x250), 100u * (1 + 32 * 16));
    for (int i = 0; i < 1000 && *shown < 100; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(*shown, 100);
    EXPECT_EQ(trace->Count(), 4096u);
    EXPECT_GE(time->SleptMs(), 100u * 220);

    stop = 1;
    RealtimeTest stopped(otr, params, testWay, live);
    stopped.Configure();
    const uint64_t arms = log.Count(0x280);
    stopped.Run(0);
    EXPECT_EQ(log.Count(0x280), arms);
    EXPECT_EQ(stop, 0);
}

TEST_F(EngineTest, AnAverageTimeOfZeroCountsAsOne) {
    Set(8, 80, 0);
    AveragingTest engine(otr, params, testWay, Context());
    engine.Configure();
    engine.Run(0);
    EXPECT_EQ(log.Count(0x250), 1u + 32 * 16);
    EXPECT_EQ(ring.Take().size(), 16384u);
}

TEST_F(EngineTest, LevelsAboveAndAtTheNoiseFloor) {
    // Every FIFO word is its position: the trace rises past the noise block's mean only where the
    // position is larger, and the rest sits at or below it.
    Set(32, 320, 1);
    AveragingTest zero(otr, params, testWay, Context(0));
    zero.Configure();
    zero.Run(0);
    const std::vector<uint32_t> plain = ring.Take();
    AveragingTest one(otr, params, testWay, Context(1));
    one.Configure();
    log.position = 0;
    one.Run(0);
    const std::vector<uint32_t> raised = ring.Take();
    ASSERT_EQ(plain.size(), raised.size());
    for (size_t k = 0; k < plain.size(); ++k) {
        if (plain[k] > 0)
            EXPECT_NEAR(static_cast<double>(raised[k]), plain[k] + 10000.0, 1.0) << k;
        else
            EXPECT_LT(raised[k], 6000u) << k;
    }
}

TEST(SmoothingFilterTest, ReflectsAtTheEndsAndTruncatesEachTap) {
    std::vector<int32_t> flat(40, 1000);
    SmoothingFilter(flat);
    // The taps sum to 1.0001, but every tap truncates: 1000 comes out as 994.
    for (const int32_t value : flat)
        EXPECT_EQ(value, 994);
    std::vector<int32_t> step(20, 0);
    step[0] = 10000;
    SmoothingFilter(step);
    // Sample 0 is mirrored, not repeated: it meets itself only at the centre tap.
    EXPECT_EQ(step[0], 847);
    EXPECT_EQ(step[1], 840); // 10000 x 0.0841 is 840.99999... in double
    EXPECT_EQ(step[6], 654);
    EXPECT_EQ(step[7], 0);
}

TEST(AutoTestEndTest, FindsTheEndByTheLargeStepOrTheNoise) {
    std::vector<uint32_t> probe(16384, 0);
    for (uint32_t k = 0; k < probe.size(); ++k)
        probe[k] = k < 50 ? 70000 : (k < 9000 ? 45000 - k : 2000);
    // 1280 ns: b = 128; the walk ends where the sum of steps ahead passes 26000.
    const uint32_t end = AutoTest::EstimateEnd(probe, 1280, 128, 8);
    EXPECT_GT(end, (9000 - 4 * 128) * 8u);
    EXPECT_LE(end, 9000 * 8u);
    std::fill(probe.begin() + 50, probe.end(), 45000);
    EXPECT_EQ(AutoTest::EstimateEnd(probe, 1280, 128, 8), 0u);
    EXPECT_EQ(AutoTest::EstimateEnd(std::vector<uint32_t>(300, 1), 1280, 128, 8), 0u);
}

TEST(SampleRingTest, TheProducerWaitsWhenTenTracesAreUntaken) {
    SampleRing ring;
    const std::vector<uint32_t> trace(512, 7);
    for (int i = 0; i < SampleRing::kSlots; ++i)
        ring.Put(trace);
    std::atomic<bool> eleventh{false};
    std::thread producer([&] {
        ring.Put(std::vector<uint32_t>(512, 11));
        eleventh = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(eleventh);
    EXPECT_EQ(ring.Take(), trace);
    producer.join();
    EXPECT_TRUE(eleventh);
    for (int i = 0; i < SampleRing::kSlots - 1; ++i)
        ring.Take();
    EXPECT_EQ(ring.Take(), std::vector<uint32_t>(512, 11));
}

TEST(TraceDataTest, ReadersKeepTheirTraceWhileItIsReplaced) {
    TraceData trace;
    EXPECT_EQ(trace.Replace(std::vector<uint32_t>(1024, 5)), 1024);
    const TraceData::Samples held = trace.Snapshot();
    EXPECT_EQ(trace.Replace(std::vector<uint32_t>(100, 9)), 100);
    EXPECT_FALSE(trace.CountIsWhole());
    EXPECT_EQ(held->size(), 1024u);
    EXPECT_EQ((*held)[1023], 5u);
    EXPECT_EQ(trace.Replace({}), 0);
    EXPECT_TRUE(trace.CountIsWhole());
}

struct ScreenLog : TestScreens {
    std::vector<std::string> calls;
    std::atomic<int>* running = nullptr;
    void Note(const char* name) { calls.push_back(std::string(name) + (running && *running ? "+" : "-")); }
    void BuildLiveModel() override { Note("model"); }
    void ShowWaitWindow() override { Note("wait"); }
    void HideWaitWindow() override { Note("unwait"); }
    void SendTestFinished() override { Note("finished"); }
    void RepaintTraceView() override { Note("repaint"); }
    void SendTraceRefresh() override { Note("refresh"); }
    void EnableMainPanel() override { Note("enable"); }
};

TEST_F(EngineTest, TestThreadTellsTheScreensInOrder) {
    std::atomic<int> running{0};
    ScreenLog screens;
    screens.running = &running;
    Set(32, 320, 1);
    EXPECT_EQ(RunTestThread({params, testWay, Context(), running, screens}), 0);
    const std::vector<std::string> averaging = {"model+",    "wait+",    "unwait+",
                                                "finished+", "refresh-", "enable-"};
    EXPECT_EQ(screens.calls, averaging);
    EXPECT_EQ(running, 0);
    ring.Take();

    screens.calls.clear();
    platform::UnregisterDriver("OTR1:");
    EXPECT_EQ(RunTestThread({params, testWay, Context(), running, screens}), -1);
    EXPECT_EQ(screens.calls, std::vector<std::string>{"enable-"});
}

} // namespace
