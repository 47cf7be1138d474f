// The file screens' cost on this machine: the open screen's list of 1000 trace files, and a select-all
// copy of 200 files from the copy screen's panel, which refills both lists after every file, reported as
// the time it takes beyond the same 200 file copies made alone.
#include "instrument/files/TraceStorage.h"
#include "instrument/files/ui/CFileCopyBody.h"
#include "instrument/files/ui/CFileReadBody.h"
#include "instrument/files/ui/FileListControl.h"
#include "instrument/state/AppState.h"

#include "platform/DevicePath.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A device root of its own, with `count` trace files of a 16 km trace's length in a folder of it.
class BenchRoot {
public:
    BenchRoot(const std::string& folder, int count) {
        std::string pattern = (fs::temp_directory_path() / "lumetra-bench-files-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        platform::SetDeviceRoot(path_);
        UDiskRoot = "\\Hard Disk";
        fs::create_directories(path_ / "NandFlash");
        fs::create_directories(path_ / "Hard Disk/OTDRDATA");
        const std::string bytes(65600, '\x5a');
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "trace %04d.st", i);
            std::ofstream(path_ / folder / name, std::ios::binary) << bytes;
        }
    }
    ~BenchRoot() {
        platform::SetDeviceRoot({});
        std::error_code error;
        fs::remove_all(path_, error);
    }

private:
    fs::path path_;
};

void BM_OpenListOf1000Files(benchmark::State& state) {
    const BenchRoot root("Hard Disk/OTDRDATA", 1000);
    CFileReadBody body(nullptr);
    for (auto _ : state) {
        // Entered the first time: every row is new.
        state.PauseTiming();
        body.List().Fill({});
        state.ResumeTiming();
        body.Refill();
    }
    if (body.List().RowCount() != 1000)
        state.SkipWithError("the list does not hold every file");
}
BENCHMARK(BM_OpenListOf1000Files)->Unit(benchmark::kMillisecond);

void BM_ReopenListOf1000Files(benchmark::State& state) {
    const BenchRoot root("Hard Disk/OTDRDATA", 1000);
    CFileReadBody body(nullptr);
    body.Refill();
    for (auto _ : state)
        body.Refill();
}
BENCHMARK(BM_ReopenListOf1000Files)->Unit(benchmark::kMillisecond);

// The iteration's time is the panel's copy less the same copies made alone.
void BM_SelectAllCopyOf200FilesBeyondTheCopies(benchmark::State& state) {
    const BenchRoot root("NandFlash", 200);
    CFileCopyBody body(nullptr);
    body.Open();
    using Clock = std::chrono::steady_clock;
    double copiesAlone = 0.0;
    double total = 0.0;
    for (auto _ : state) {
        body.ToggleSelectAll();
        const auto start = Clock::now();
        body.Copy({u"failed", u"done"}, true);
        const auto copied = Clock::now();
        for (const TraceFileRow& file : ListTraceFiles(kInternalFlash))
            CopyTraceFile(kInternalFlash, file.name);
        const auto end = Clock::now();
        const double panel = std::chrono::duration<double>(copied - start).count();
        const double alone = std::chrono::duration<double>(end - copied).count();
        state.SetIterationTime(std::max(0.0, panel - alone));
        copiesAlone += alone;
        total += panel;
    }
    if (body.List(CFileCopyBody::kUsb).RowCount() != 200)
        state.SkipWithError("not every file was copied");
    const double iterations = static_cast<double>(state.iterations());
    state.counters["panel_copy_ms"] = 1000.0 * total / iterations;
    state.counters["copies_alone_ms"] = 1000.0 * copiesAlone / iterations;
    state.counters["beyond_per_file_us"] = 1e6 * (total - copiesAlone) / iterations / 200;
}
BENCHMARK(BM_SelectAllCopyOf200FilesBeyondTheCopies)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    LanguageId = 0;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
