// The acquisition engine's own cost: one real-time cycle's post-processing of 16384 points, and whole
// tests against the simulated board in virtual time, set against the waits the board demands.
#include "instrument/acquisition/AveragingTest.h"
#include "instrument/acquisition/DriverCalls.h"
#include "instrument/acquisition/SampleRing.h"

#include "platform/Time.h"

#include "simboard/SimBoard.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <thread>

namespace {

class LoadedEngine : public AveragingTest {
public:
    using AveragingTest::AveragingTest;
    // Sums shaped like a 16 km measurement: backscatter falling into the noise floor.
    void LoadSums() {
        for (size_t k = 0; k < pSamAvg.size(); ++k)
            pSamAvg[k] = static_cast<uint32_t>(400 * 32 + 30000.0 * std::pow(10.0, -0.00007 * double(k)));
    }
};

void BM_RealtimeCyclePostProcessing(benchmark::State& state) {
    SampleRing ring;
    std::atomic<int> stop{0};
    TestParameterTable params;
    params.items[kRangeItem].value = 16;
    params.items[kWavelengthItem].value = 1310;
    params.items[kPulseWidthItem].value = 320;
    params.items[kAttenuationItem].value = 5;
    TestWayPair way{kRealtimeTest, 1};
    LoadedEngine engine(platform::INVALID_HANDLE_VALUE, params, way, {ring, stop, 0.0f, 1});
    engine.Configure();
    int cycle = 0;
    for (auto _ : state) {
        engine.LoadSums();
        engine.PostProcess(++cycle, 1, false);
        benchmark::DoNotOptimize(engine.NoiseMean());
    }
    state.counters["points"] = engine.DotNum();
}
BENCHMARK(BM_RealtimeCyclePostProcessing)->Unit(benchmark::kMillisecond);

// A whole averaging test in virtual time: the wall time is the engine's own work plus the board's,
// to be set against the mandated waits it would have slept.
void BM_AveragingTestOwnTime(benchmark::State& state) {
    simboard::RegisterSimulatedBoard();
    // The light on, as the test thread has it, so the board simulates the fibre and not a dark receiver.
    driver::MeasuringSectionOn();
    const float range = static_cast<float>(state.range(0)) / 10.0f;
    uint64_t slept = 0;
    for (auto _ : state) {
        auto time = std::make_shared<platform::FastTime>();
        platform::SetTimeSource(time);
        SampleRing ring;
        std::atomic<int> stop{0};
        TestParameterTable params;
        params.items[kRangeItem].value = range;
        params.items[kWavelengthItem].value = 1310;
        params.items[kPulseWidthItem].value = range > 16 ? 1280 : 320;
        params.items[kAttenuationItem].value = 5;
        TestWayPair way{kAveragingTest, 7};
        const platform::DeviceHandle otr = platform::OpenDevice("OTR1:");
        AveragingTest engine(otr, params, way, {ring, stop, 0.0f, 1});
        engine.Configure();
        engine.Run(0);
        benchmark::DoNotOptimize(ring.Take());
        platform::CloseDevice(otr);
        slept = time->SleptMs();
        platform::SetTimeSource(nullptr);
    }
    state.counters["mandated_wait_ms"] = static_cast<double>(slept);
}
BENCHMARK(BM_AveragingTestOwnTime)->Arg(5)->Arg(80)->Arg(160)->Arg(1280)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
