#include "tests/simboard/DynamicRange.h"

#include "simboard/Optics.h"
#include "simboard/SimBoard.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

namespace figures = simboard::figures;
constexpr double kIndex = 1.468;
constexpr double kDbPerLevel = 0.0005;
// The fibre spans 40 dB one way: more than any setting's dynamic range, so the floor is met on the fibre.
constexpr double kFibreDb = 40.0;

struct Fit {
    double slope = 0.0; // level units per point
    double intercept = 0.0;
    double At(size_t k) const { return intercept + slope * static_cast<double>(k); }
};

Fit FitLevels(const std::vector<uint32_t>& levels, size_t from, size_t to) {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t k = from; k < to; ++k) {
        const double x = static_cast<double>(k), y = levels[k];
        n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
    }
    Fit fit;
    fit.slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    fit.intercept = (sy - fit.slope * sx) / n;
    return fit;
}

// What the screen shows, back in linear terms: a level of 0 is a point at or below the noise mean.
double Linear(uint32_t level) {
    return level == 0 ? 0.0 : std::pow(10.0, level / 10000.0);
}

} // namespace

DynamicRange MeasureDynamicRange(const Acquisition& a) {
    const double lengthKm = 0.8 * a.rangeKm;
    const double attenuation = std::min(10.0, kFibreDb / lengthKm);
    simboard::Scenario fibre;
    fibre.fibres.push_back({lengthKm, attenuation, attenuation, kIndex, kIndex});
    fibre.endKm = lengthKm;
    fibre.endReflectanceDb = -100.0; // no end reflection to mark the dark stretch
    std::string error;
    DynamicRange result;
    if (!simboard::SimBoard::Instance().SetScenario(fibre, error))
        return result;

    AveragingRun run(a);
    run.Configure();
    run.Run();
    const std::vector<uint32_t> levels = run.Levels();
    const double pointsPerKm = 1000.0 / run.MetresPerPoint(kIndex);
    const auto pulsePoints = static_cast<size_t>(a.pulseNs / (figures::kSamplePeriodNs / run.Phases())) + 1;
    const auto endPoint = static_cast<size_t>(lengthKm * pointsPerKm);

    const size_t darkFrom = endPoint + 3 * pulsePoints + 100;
    if (darkFrom + 500 > levels.size())
        return result;
    double squares = 0.0;
    for (size_t k = darkFrom; k < levels.size(); ++k)
        squares += Linear(levels[k]) * Linear(levels[k]);
    result.floorLevel =
        10000.0 * std::log10(std::sqrt(squares / static_cast<double>(levels.size() - darkFrom)));

    // The straight backscatter starts after the launch and wherever long pulses clip the receiver.
    const double clip =
        10000.0 * std::log10(run.GroupsPerCycle() * (figures::kAdcFullScale - figures::kAdcOffset));
    size_t from = 2 * pulsePoints + 16;
    while (from < endPoint && levels[from] > clip - 3000.0)
        ++from;
    from += pulsePoints;
    const size_t last = endPoint - 2 * pulsePoints;
    // Fitted only where it lies 6 dB above the floor, so the noise does not bend it.
    Fit fit = FitLevels(levels, from, std::min(last, from + 500));
    const auto reach = [&](const Fit& f, double level) {
        return static_cast<size_t>(
            std::clamp((level - f.intercept) / f.slope, 0.0, static_cast<double>(last)));
    };
    const size_t straight = reach(fit, result.floorLevel + 12000.0);
    if (straight < from + 100)
        return result;
    fit = FitLevels(levels, from, straight);
    result.startLevel = fit.intercept;

    // Between 1.5 and 4.5 dB above the floor: how much of the straight line the trace still shows.
    const size_t near = reach(fit, result.floorLevel + 9000.0), far = reach(fit, result.floorLevel + 3000.0);
    if (far >= last || far < near + 50)
        return result;
    double shown = 0.0, expected = 0.0;
    for (size_t k = near; k < far; ++k) {
        shown += Linear(levels[k]);
        expected += std::pow(10.0, fit.At(k) / 10000.0);
    }
    result.bendDb = -5.0 * std::log10(shown / expected);
    result.db = (result.startLevel - result.floorLevel) * kDbPerLevel - 3.0 - result.bendDb;
    return result;
}
