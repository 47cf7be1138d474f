// The event analysis on a full 16 km trace, and reading a 16 km trace file, as the instrument does after
// every test and every file open.
#include "shared/analysis/EventTable.h"
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/TraceFile.h"
#include "tests/support/SyntheticTrace.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

TraceSetup Setup16km() {
    TraceSetup setup;
    setup.rangeKm = 16.0f;
    setup.pulseNs = 320.0f;
    setup.wavelengthNm = 1310.0f;
    return setup;
}

// A 12 km link with a connector, three splices and a reflective end.
SyntheticTrace Link12km() {
    FibreLink link;
    link.lengthKm = 12.0;
    link.attenuationDbPerKm = TypicalAttenuation(1310.0f);
    link.events = {{LinkEventKind::Connector, 2.0, 0.45, -50.0},
                   {LinkEventKind::Splice, 4.5, 0.2, 0.0},
                   {LinkEventKind::Splice, 7.5, 0.15, 0.0},
                   {LinkEventKind::Splice, 10.0, 0.3, 0.0}};
    return GenerateTrace(Setup16km(), link);
}

void BM_AnalyseTrace(benchmark::State& state) {
    const SyntheticTrace trace = Link12km();
    const TraceSetup setup = Setup16km();
    analysis::EventTable table;
    for (auto _ : state) {
        table.AnalyseTrace(trace.samples, setup.rangeKm, setup.wavelengthNm, setup.pulseNs, 0.1f, 500000);
        benchmark::DoNotOptimize(table.GetEventCount());
    }
    state.counters["samples"] = static_cast<double>(trace.samples.size());
    state.counters["events"] = table.GetEventCount();
}
BENCHMARK(BM_AnalyseTrace)->Unit(benchmark::kMicrosecond);

void BM_ReadTraceFile16km(benchmark::State& state) {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumetra-bench-XXXXXX").string();
    const std::filesystem::path directory = ::mkdtemp(pattern.data());
    const std::filesystem::path file = directory / "trace.st";
    const TraceSetup setup = Setup16km();
    const tracefile::ParameterBlock block =
        tracefile::ParameterBlock::FromParameters({setup.rangeKm, setup.wavelengthNm, setup.pulseNs, 5.0f,
                                                   0.0f, setup.refractive, setup.cableRatio, 0.1f},
                                                  7, 0);
    if (tracefile::WriteTraceFile(file, Link12km().samples, block) != 1 ||
        std::filesystem::file_size(file) != 65600) {
        state.SkipWithError("cannot write the 16 km trace file");
        return;
    }
    tracefile::TraceFileContents contents;
    for (auto _ : state) {
        if (tracefile::ReadTraceFile(file, tracefile::ReaderVariant::Pc, contents) != 0) {
            state.SkipWithError("the 16 km trace file does not read back");
            break;
        }
        benchmark::DoNotOptimize(contents.samples.data());
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}
BENCHMARK(BM_ReadTraceFile16km)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
