// The desktop program's open and repaint: a 16 km trace opened into the window (the model, the scale,
// the panels and one repaint of the view), and one repaint of the trace view alone.
#include "pc/CDataLine.h"
#include "pc/CMainFrame.h"
#include "pc/COTDRView.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <string>

namespace {

const QString kTrace = QStringLiteral(SOURCE_DIR "/data/traces/sample_16km.st");

// The view painted into an image of its own: what a repaint draws, whatever the platform shows.
void Paint(CDataLine& view, QImage& image) {
    view.render(&image);
    benchmark::DoNotOptimize(image.constBits());
}

void OpenSixteenKm(benchmark::State& state) {
    CMainFrame frame;
    frame.show();
    QImage image(frame.View().TraceView().size(), QImage::Format_RGB32);
    for (auto _ : state) {
        if (!frame.OpenChosenFile(kTrace))
            state.SkipWithError("cannot open the trace");
        Paint(frame.View().TraceView(), image);
    }
}
BENCHMARK(OpenSixteenKm)->Unit(benchmark::kMillisecond);

void RepaintView(benchmark::State& state) {
    CMainFrame frame;
    frame.show();
    if (!frame.OpenChosenFile(kTrace))
        state.SkipWithError("cannot open the trace");
    CDataLine& view = frame.View().TraceView();
    view.TestJointLoss();
    QImage image(view.size(), QImage::Format_RGB32);
    for (auto _ : state)
        Paint(view, image);
}
BENCHMARK(RepaintView)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
