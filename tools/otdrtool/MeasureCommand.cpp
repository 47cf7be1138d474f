#include "tools/otdrtool/MeasureCommand.h"

#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TestThread.h"
#include "instrument/config/IniFile.h"

#include "platform/Device.h"
#include "platform/Numbers.h"
#include "platform/TextCodec.h"
#include "platform/Time.h"

#include "shared/tracefile/TraceFile.h"

#include "simboard/SimBoard.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

constexpr options::Option kMeasureOptions[] = {
    {.name = "--way", .value = "avg|realtime|auto", .help = "the test way", .fallback = "avg"},
    {.name = "--range", .value = "KM", .help = "0.5 1 2 4 8 16 32 64 or 128", .fallback = "16"},
    {.name = "--wavelength", .value = "NM", .help = "1310 or 1550", .fallback = "1310"},
    {.name = "--pulse", .value = "NS", .help = "pulse width, one the range offers", .fallback = "320"},
    {.name = "--atten", .value = "DB", .help = "attenuation, one the range offers", .fallback = "5"},
    {.name = "--avg", .value = "N", .help = "average time", .fallback = "7"},
    {.name = "--refractive", .value = "X", .help = "refractive index", .fallback = "1.4680"},
    {.name = "--cable-ratio", .value = "X", .help = "cable ratio", .fallback = "1.0"},
    {.name = "--threshold", .value = "DB", .help = "event threshold", .fallback = "0.1"},
    {.name = "--verno", .value = "0|1", .help = "the rule turning sums into levels", .fallback = "1"},
    {.name = "--invalid-m", .value = "M", .help = "invalid distance, in metres", .fallback = "0"},
    {.name = "--scenario", .value = "FILE", .help = "the simulated fibre (simboard/SCENARIOS.md)"},
    {.name = "--io-stats", .value = "STATS.json", .help = "write register writes, FIFO reads and sleeps"},
    {.name = "--fast", .help = "run the board's waits in virtual time"},
    {.name = "-o", .value = "OUT.st", .help = "the trace file to write", .required = true},
};

std::atomic<int> stopRequest{0};
std::atomic<int> testRunning{0};

void OnInterrupt(int) {
    stopRequest = 1;
}

// Real sleeps, added up for the statistics.
class CountingRealTime : public platform::TimeSource {
public:
    void Sleep(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        slept_ += ms;
    }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    uint64_t SleptMs() const { return slept_; }

private:
    std::atomic<uint64_t> slept_{0};
};

// Nothing to show: the tool has no screens.
class NoScreens : public TestScreens {
public:
    void BuildLiveModel() override {}
    void ShowWaitWindow() override {}
    void HideWaitWindow() override {}
    void SendTestFinished() override {}
    void RepaintTraceView() override {}
    void SendTraceRefresh() override {}
    void EnableMainPanel() override {}
};

bool ParseNumber(const std::string& text, double& value) {
    size_t used = 0;
    value = platform::ParseNumber(text, &used);
    return !text.empty() && used == text.size();
}

// The list index whose value is the number given, among the first `count` entries.
int IndexOf(float (*valueAt)(int), int count, double wanted) {
    for (int i = 0; i < count; ++i)
        if (valueAt(i) == static_cast<float>(wanted))
            return i;
    return -1;
}

bool ToFields(const options::Parsed& parsed, SettingsFields& fields, std::string& err) {
    double range = 0, wavelength = 0, pulse = 0, atten = 0;
    if (!ParseNumber(parsed.Value("--range"), range) ||
        (fields.rangeIndex = IndexOf(RangeValue, kRangeCount, range)) < 0) {
        err = "otdrtool measure: the range must be one of 0.5 1 2 4 8 16 32 64 128 km\n";
        return false;
    }
    const RangeRow& row = RangeAt(fields.rangeIndex);
    if (!ParseNumber(parsed.Value("--wavelength"), wavelength) ||
        (fields.wavelengthIndex = IndexOf(WavelengthValue, 2, wavelength)) < 0) {
        err = "otdrtool measure: the wavelength must be 1310 or 1550 nm\n";
        return false;
    }
    if (!ParseNumber(parsed.Value("--pulse"), pulse) ||
        (fields.pulseIndex = IndexOf(PulseWidthValue, row.pulseCount, pulse)) < 0) {
        err =
            "otdrtool measure: pulse width " + parsed.Value("--pulse") + " ns is not offered at this range\n";
        return false;
    }
    if (!ParseNumber(parsed.Value("--atten"), atten) ||
        (fields.attenuationIndex = IndexOf(AttenuationValue, row.attenuationCount, atten)) < 0) {
        err =
            "otdrtool measure: attenuation " + parsed.Value("--atten") + " dB is not offered at this range\n";
        return false;
    }
    const std::string average = parsed.Value("--avg");
    if (average.find_first_not_of("0123456789") != std::string::npos) {
        err = "otdrtool measure: --avg takes digits only\n";
        return false;
    }
    const std::string way = parsed.Value("--way");
    fields.testWay = way == "avg" ? kAveragingTest : (way == "realtime" ? kRealtimeTest : kAutomaticTest);
    fields.averageTime = average;
    fields.refractive = parsed.Value("--refractive");
    fields.cableRatio = parsed.Value("--cable-ratio");
    fields.threshold = parsed.Value("--threshold");
    if (fields.testWay == kAutomaticTest) {
        // The automatic way starts its probe from 128 km, 1280 ns and 5 dB, as the settings screen forces.
        fields.rangeIndex = 8;
        fields.pulseIndex = 5;
        fields.attenuationIndex = 1;
    }
    return true;
}

std::string Stats(uint64_t sleptMs) {
    const simboard::SimBoard& board = simboard::SimBoard::Instance();
    std::string json = "{\"register_writes\": {";
    bool first = true;
    for (const auto& [reg, count] : board.RegisterWriteCounts()) {
        char entry[64];
        std::snprintf(entry, sizeof entry, "%s\"0x%03X\": %llu", first ? "" : ", ", reg,
                      static_cast<unsigned long long>(count));
        json += entry;
        first = false;
    }
    json += "}, \"fifo_reads\": " + std::to_string(board.Calls("OTR1:", platform::OTDR_IOCTL_READ)) +
            ", \"sleeps_ms\": " + std::to_string(sleptMs) + "}\n";
    return json;
}

} // namespace

const options::Command kMeasureCommand = {
    .name = "measure",
    .summary = "run one test against the simulated board and write the trace",
    .options = kMeasureOptions,
};

int RunMeasureCommand(const std::vector<std::string>& args, std::span<const uint8_t> englishTexts,
                      std::string& out, std::string& err) {
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kMeasureCommand, args, parsed, out, err, status))
        return status;
    const std::string output = parsed.Value("-o");
    if (output.empty()) {
        err = options::Failure(kMeasureCommand, options::UsageError::MissingOption, "-o OUT.st");
        return 2;
    }
    const std::string way = parsed.Value("--way");
    if (way != "avg" && way != "realtime" && way != "auto") {
        err = options::Failure(kMeasureCommand, "--way must be avg, realtime or auto");
        return 2;
    }
    const std::string scenarioFile = parsed.Value("--scenario");
    const std::string statsFile = parsed.Value("--io-stats");
    const bool fastTime = parsed.Given("--fast");
    SettingsFields fields;
    if (!ToFields(parsed, fields, err))
        return 2;
    TestWayPair testWay;
    const ApplyResult applied = ApplySettings(fields, TestParam, testWay);
    if (!applied.ok) {
        const std::u16string texts(reinterpret_cast<const char16_t*>(englishTexts.data()),
                                   englishTexts.size() / 2);
        err = platform::Utf16ToUtf8(
                  IniFile::GetStringFrom(texts, u"setotdr_body", applied.messageKey, u"flase")) +
              "\n";
        return 2;
    }
    double verno = 1, invalid = 0;
    if (!ParseNumber(parsed.Value("--verno"), verno) || (verno != 0 && verno != 1) ||
        !ParseNumber(parsed.Value("--invalid-m"), invalid) || invalid < 0) {
        err = "otdrtool measure: --verno takes 0 or 1 and --invalid-m a distance in metres\n";
        return 2;
    }

    simboard::RegisterSimulatedBoard();
    simboard::SimBoard& board = simboard::SimBoard::Instance();
    board.Reset();
    if (!scenarioFile.empty()) {
        std::string problem;
        simboard::Scenario scenario;
        if (!simboard::LoadScenario(scenarioFile, scenario, problem) ||
            !board.SetScenario(scenario, problem)) {
            err = "otdrtool measure: " + problem + "\n";
            return 2;
        }
    }
    auto fast = std::make_shared<platform::FastTime>();
    auto real = std::make_shared<CountingRealTime>();
    if (fastTime)
        platform::SetTimeSource(fast);
    else
        platform::SetTimeSource(real);
    stopRequest = 0;
    const auto previous = std::signal(SIGINT, OnInterrupt);

    SampleRing ring;
    std::vector<uint32_t> last;
    // Drains every trace the test hands off; an empty one ends the drain.
    std::thread drain([&] {
        for (std::vector<uint32_t> samples; !(samples = ring.Take()).empty();)
            last = std::move(samples);
    });
    NoScreens screens;
    const EngineContext context{ring, stopRequest, static_cast<float>(invalid), static_cast<int>(verno)};
    const int result = RunTestThread({TestParam, testWay, context, testRunning, screens});
    ring.Put({});
    drain.join();
    std::signal(SIGINT, previous);
    platform::SetTimeSource(nullptr);
    if (result != 0 || last.empty()) {
        err = "otdrtool measure: the acquisition board could not be opened\n";
        return 1;
    }
    if (tracefile::WriteTraceFile(output, last, ToParameterBlock(TestParam, testWay)) != 1) {
        err = "otdrtool measure: cannot write " + output + "\n";
        return 1;
    }
    if (!statsFile.empty()) {
        std::ofstream stats(statsFile, std::ios::trunc);
        stats << Stats(fastTime ? fast->SleptMs() : real->SleptMs());
        if (!stats.flush()) {
            err = "otdrtool measure: cannot write " + statsFile + "\n";
            return 1;
        }
    }
    out = output + ": " + std::to_string(last.size()) + " samples\n";
    return 0;
}
