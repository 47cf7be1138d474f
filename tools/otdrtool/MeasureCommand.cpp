#include "tools/otdrtool/MeasureCommand.h"

#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TestThread.h"
#include "instrument/config/IniFile.h"

#include "platform/Device.h"
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
#include <map>
#include <thread>

namespace {

constexpr const char* kUsage =
    "usage: otdrtool measure [--way avg|realtime|auto] [--range KM] [--wavelength NM] [--pulse NS] [--atten "
    "DB]\n"
    "                        [--avg N] [--refractive X] [--cable-ratio X] [--threshold DB] [--verno 0|1]\n"
    "                        [--invalid-m M] [--scenario FILE] [--io-stats STATS.json] [--fast] -o OUT.st\n";

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

struct Options {
    std::string way = "avg";
    std::map<std::string, std::string> values = {
        {"--range", "16"}, {"--wavelength", "1310"},   {"--pulse", "320"},       {"--atten", "5"},
        {"--avg", "7"},    {"--refractive", "1.4680"}, {"--cable-ratio", "1.0"}, {"--threshold", "0.1"},
        {"--verno", "1"},  {"--invalid-m", "0"},
    };
    std::string scenario, output, stats;
    bool fast = false;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& err) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--fast") {
            options.fast = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            err = "otdrtool measure: " + arg + " needs a value\n";
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--way")
            options.way = value;
        else if (arg == "--scenario")
            options.scenario = value;
        else if (arg == "-o")
            options.output = value;
        else if (arg == "--io-stats")
            options.stats = value;
        else if (options.values.count(arg))
            options.values[arg] = value;
        else {
            err = "otdrtool measure: unknown option " + arg + "\n";
            return false;
        }
    }
    if (options.output.empty()) {
        err = "otdrtool measure: -o OUT.st is required\n";
        return false;
    }
    if (options.way != "avg" && options.way != "realtime" && options.way != "auto") {
        err = "otdrtool measure: --way must be avg, realtime or auto\n";
        return false;
    }
    return true;
}

bool ParseNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size();
}

// The list index whose value is the number given, among the first `count` entries.
int IndexOf(float (*valueAt)(int), int count, double wanted) {
    for (int i = 0; i < count; ++i)
        if (valueAt(i) == static_cast<float>(wanted))
            return i;
    return -1;
}

bool ToFields(const Options& options, SettingsFields& fields, std::string& err) {
    double range = 0, wavelength = 0, pulse = 0, atten = 0;
    if (!ParseNumber(options.values.at("--range"), range) ||
        (fields.rangeIndex = IndexOf(RangeValue, kRangeCount, range)) < 0) {
        err = "otdrtool measure: the range must be one of 0.5 1 2 4 8 16 32 64 128 km\n";
        return false;
    }
    const RangeRow& row = RangeAt(fields.rangeIndex);
    if (!ParseNumber(options.values.at("--wavelength"), wavelength) ||
        (fields.wavelengthIndex = IndexOf(WavelengthValue, 2, wavelength)) < 0) {
        err = "otdrtool measure: the wavelength must be 1310 or 1550 nm\n";
        return false;
    }
    if (!ParseNumber(options.values.at("--pulse"), pulse) ||
        (fields.pulseIndex = IndexOf(PulseWidthValue, row.pulseCount, pulse)) < 0) {
        err = "otdrtool measure: pulse width " + options.values.at("--pulse") +
              " ns is not offered at this range\n";
        return false;
    }
    if (!ParseNumber(options.values.at("--atten"), atten) ||
        (fields.attenuationIndex = IndexOf(AttenuationValue, row.attenuationCount, atten)) < 0) {
        err = "otdrtool measure: attenuation " + options.values.at("--atten") +
              " dB is not offered at this range\n";
        return false;
    }
    const std::string& average = options.values.at("--avg");
    if (average.find_first_not_of("0123456789") != std::string::npos) {
        err = "otdrtool measure: --avg takes digits only\n";
        return false;
    }
    fields.testWay =
        options.way == "avg" ? kAveragingTest : (options.way == "realtime" ? kRealtimeTest : kAutomaticTest);
    fields.averageTime = average;
    fields.refractive = options.values.at("--refractive");
    fields.cableRatio = options.values.at("--cable-ratio");
    fields.threshold = options.values.at("--threshold");
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

int RunMeasureCommand(const std::vector<std::string>& args, std::span<const uint8_t> englishTexts,
                      std::string& out, std::string& err) {
    Options options;
    if (!ParseOptions(args, options, err)) {
        err += kUsage;
        return 2;
    }
    SettingsFields fields;
    if (!ToFields(options, fields, err))
        return 2;
    TestWayPair way;
    const ApplyResult applied = ApplySettings(fields, TestParam, way);
    if (!applied.ok) {
        const std::u16string texts(reinterpret_cast<const char16_t*>(englishTexts.data()),
                                   englishTexts.size() / 2);
        err = platform::Utf16ToUtf8(
                  IniFile::GetStringFrom(texts, u"setotdr_body", applied.messageKey, u"flase")) +
              "\n";
        return 2;
    }
    double verno = 1, invalid = 0;
    if (!ParseNumber(options.values.at("--verno"), verno) || (verno != 0 && verno != 1) ||
        !ParseNumber(options.values.at("--invalid-m"), invalid) || invalid < 0) {
        err = "otdrtool measure: --verno takes 0 or 1 and --invalid-m a distance in metres\n";
        return 2;
    }

    simboard::RegisterSimulatedBoard();
    simboard::SimBoard& board = simboard::SimBoard::Instance();
    board.Reset();
    if (!options.scenario.empty()) {
        std::string problem;
        simboard::Scenario scenario;
        if (!simboard::LoadScenario(options.scenario, scenario, problem) ||
            !board.SetScenario(scenario, problem)) {
            err = "otdrtool measure: " + problem + "\n";
            return 2;
        }
    }
    auto fast = std::make_shared<platform::FastTime>();
    auto real = std::make_shared<CountingRealTime>();
    if (options.fast)
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
    const int result = RunTestThread({TestParam, way, context, testRunning, screens});
    ring.Put({});
    drain.join();
    std::signal(SIGINT, previous);
    platform::SetTimeSource(nullptr);
    if (result != 0 || last.empty()) {
        err = "otdrtool measure: the acquisition board could not be opened\n";
        return 1;
    }
    if (tracefile::WriteTraceFile(options.output, last, ToParameterBlock(TestParam, way)) != 1) {
        err = "otdrtool measure: cannot write " + options.output + "\n";
        return 1;
    }
    if (!options.stats.empty()) {
        std::ofstream stats(options.stats, std::ios::trunc);
        stats << Stats(options.fast ? fast->SleptMs() : real->SleptMs());
        if (!stats.flush()) {
            err = "otdrtool measure: cannot write " + options.stats + "\n";
            return 1;
        }
    }
    out = options.output + ": " + std::to_string(last.size()) + " samples\n";
    return 0;
}
