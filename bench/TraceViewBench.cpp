// The trace view's cost on this machine: one paint of a 16 km trace, and a held arrow key up to the
// repainted view.
#include "instrument/acquisition/TraceData.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/screens/PanelKeyEvent.h"

#include "platform/VirtualKeys.h"
#include "shared/tracefile/TraceFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>

namespace {

std::filesystem::path SampleTrace() {
    const auto path = std::filesystem::temp_directory_path() / "lumetra-bench-view.st";
    std::vector<uint32_t> samples(16384);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] =
            k < 12000 ? static_cast<uint32_t>(52000 - 0.7 * k + 40 * std::sin(k * 0.3)) : 3000 + k % 97;
    tracefile::WriteTraceFile(
        path, samples,
        tracefile::ParameterBlock::FromParameters({16, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0));
    return path;
}

void BM_TraceViewPaint(benchmark::State& state) {
    TraceData trace;
    CDataLine view(nullptr, trace, 1);
    view.BuildFromFile(SampleTrace().string());
    view.SetCursorColumn(200);
    QPixmap target(320, 180);
    for (auto _ : state)
        view.render(&target);
}
BENCHMARK(BM_TraceViewPaint)->Unit(benchmark::kMillisecond);

void BM_ArrowKeyToRepaintedView(benchmark::State& state) {
    TraceData trace;
    CDataLine view(nullptr, trace, 1);
    view.BuildFromFile(SampleTrace().string());
    QPixmap target(320, 180);
    int direction = 1;
    for (auto _ : state) {
        PanelKeyEvent down(direction > 0 ? platform::VK_RIGHT : platform::VK_LEFT, platform::WM_KEYDOWN);
        QCoreApplication::sendEvent(&view, &down);
        view.render(&target);
        PanelKeyEvent up(direction > 0 ? platform::VK_RIGHT : platform::VK_LEFT, platform::WM_KEYUP);
        QCoreApplication::sendEvent(&view, &up);
        if (view.Scale()->Column(1) >= 300 || view.Scale()->Column(1) <= 0)
            direction = -direction;
    }
}
BENCHMARK(BM_ArrowKeyToRepaintedView)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
