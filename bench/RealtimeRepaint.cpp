// The real-time way in real time on the simulated board: the interval between repaints of the trace
// view, against what each cycle must wait (the 220 ms pause plus the acquisition's own waits).
// Usage: realtime_repaint [SECONDS] [RANGE_INDEX]
#include "instrument/acquisition/TestParameters.h"
#include "instrument/app/CLumetraDlg.h"
#include "instrument/app/CNav1Dlg.h"
#include "instrument/display/ui/CDataLine.h"
#include "instrument/state/AppState.h"

#include "platform/Time.h"
#include "simboard/SimBoard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace {

// Real sleeps, counted: what the test thread was asked to wait, and how long the sleeps really took
// (the system wakes a sleeper late, which adds up over many short waits).
class CountingRealTime : public platform::TimeSource {
public:
    void Sleep(uint32_t ms) override {
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::lock_guard lock(mutex_);
        slept_ += ms;
        sleptReally_ += took.count();
        ++sleeps_;
    }
    uint32_t TickCount() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count());
    }
    struct Totals {
        double asked = 0, really = 0, count = 0;
        Totals Since(const Totals& earlier) const {
            return {asked - earlier.asked, really - earlier.really, count - earlier.count};
        }
        void Add(const Totals& more) {
            asked += more.asked;
            really += more.really;
            count += more.count;
        }
    };
    Totals Slept() {
        std::lock_guard lock(mutex_);
        return {static_cast<double>(slept_), sleptReally_, static_cast<double>(sleeps_)};
    }

private:
    std::mutex mutex_;
    uint64_t slept_ = 0;
    double sleptReally_ = 0;
    uint64_t sleeps_ = 0;
};

// Each repaint of the trace view, with the time the test thread had slept by then.
class PaintTimes : public QObject {
public:
    PaintTimes(QElapsedTimer& clock, CountingRealTime& time) : clock_(clock), time_(time) {}
    std::vector<double> times;
    std::vector<CountingRealTime::Totals> slept;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            times.push_back(static_cast<double>(clock_.nsecsElapsed()) / 1e6);
            slept.push_back(time_.Slept());
        }
        return false;
    }

private:
    QElapsedTimer& clock_;
    CountingRealTime& time_;
};

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 6;
    const int rangeIndex = argc > 2 ? std::atoi(argv[2]) : 5;
    const auto root = std::filesystem::temp_directory_path() / "lumetra-bench-realtime";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "NandFlash");
    setenv("LUMETRA_ROOT", root.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    simboard::RegisterSimulatedBoard();

    SettingsFields fields = LoadSettingsFields();
    fields.testWay = kRealtimeTest;
    fields.rangeIndex = rangeIndex;
    fields.pulseIndex = ClampPulseIndex(rangeIndex, 3);
    SaveSettingsFields(fields);
    auto time = std::make_shared<CountingRealTime>();
    TestThreadTime = time;

    CLumetraDlg dialog;
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    PaintTimes paints(clock, *time);
    dialog.TraceView().installEventFilter(&paints);
    if (!dialog.MainPanel().StartTest()) {
        std::fprintf(stderr, "the test did not start\n");
        return 1;
    }
    QTimer::singleShot(seconds * 1000, [] { StopRealtimeRequest = 1; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (StopRealtimeRequest == 0 && !dialog.MainPanel().TestActive())
            app.quit();
    });
    poll.start(10);
    app.exec();

    // Skip the repaints of the start; the cycles are the rest.
    std::vector<double> intervals;
    CountingRealTime::Totals waits;
    for (size_t i = 2; i < paints.times.size(); ++i) {
        intervals.push_back(paints.times[i] - paints.times[i - 1]);
        waits.Add(paints.slept[i].Since(paints.slept[i - 1]));
    }
    if (intervals.empty()) {
        std::fprintf(stderr, "no repaints\n");
        return 1;
    }
    const auto count = static_cast<double>(intervals.size());
    const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / count;
    std::sort(intervals.begin(), intervals.end());
    std::printf("range %.1f km, %zu repaints in %d s\n", RangeAt(rangeIndex).km, paints.times.size(),
                seconds);
    std::printf("interval between repaints: mean %.1f ms, median %.1f ms, min %.1f ms, max %.1f ms\n", mean,
                intervals[intervals.size() / 2], intervals.front(), intervals.back());
    std::printf(
        "mandated waits between repaints (220 ms pause and the acquisition's): %.1f ms in %.0f sleeps\n",
        waits.asked / count, waits.count / count);
    std::printf("the sleeps really took: %.1f ms\n", waits.really / count);
    std::printf("own cost between repaints: %.1f ms\n", mean - waits.really / count);
    std::filesystem::remove_all(root);
    return 0;
}
