#include "simboard/Optics.h"

#include <algorithm>
#include <cmath>

namespace simboard {
namespace {

double DbToRatio(double db) {
    return std::pow(10.0, db / 10.0);
}

// Ratio of a Gaussian step's 10-90 % rise to its standard deviation.
constexpr double kRisePerSigma = 2.5631;
constexpr double kLn10 = 2.302585092994046;

} // namespace

LinkResponse::LinkResponse(const Scenario& scenario, bool is1310) {
    backscatterPerPeriod_ = DbToRatio(is1310 ? figures::kBackscatter1310Db : figures::kBackscatter1550Db) *
                            figures::kSamplePeriodNs;

    double km = 0.0, t = 0.0;
    for (const FibreSection& s : scenario.fibres) {
        const double index = is1310 ? s.index1310 : s.index1550;
        sectionStartKm_.push_back(km);
        sectionStartT_.push_back(t);
        sectionPeriodsPerKm_.push_back(1000.0 * index / figures::kMetresPerPeriodIndex);
        km += s.lengthKm;
        t += s.lengthKm * sectionPeriodsPerKm_.back();
    }
    const double endKm = scenario.EndKm();
    endPeriod_ = PeriodsAt(endKm);

    // Break points: section starts and events, walked by distance.
    struct Break {
        double km;
        int section; // the section that starts here, or -1
        int event;   // the event here, or -1
    };
    std::vector<Break> breaks;
    for (size_t i = 0; i < scenario.fibres.size(); ++i)
        breaks.push_back({sectionStartKm_[i], static_cast<int>(i), -1});
    for (size_t i = 0; i < scenario.events.size(); ++i)
        breaks.push_back({scenario.events[i].km, -1, static_cast<int>(i)});
    std::stable_sort(breaks.begin(), breaks.end(),
                     [](const Break& a, const Break& b) { return a.km < b.km; });

    reflections_.push_back({0.0, DbToRatio(figures::kFrontReflectanceDb)});
    double loss = 0.0, slopePerKm = 0.0, cumulative = 0.0, lastKm = 0.0;
    for (const Break& b : breaks) {
        if (b.km >= endKm)
            break;
        // Carry the loss and the integral from the last break up to this one.
        if (!segments_.empty()) {
            const Segment& last = segments_.back();
            const double span = PeriodsAt(b.km) - last.start;
            const double k = 2.0 * last.slope * kLn10 / 10.0;
            const double base = DbToRatio(-2.0 * last.loss);
            cumulative += k > 1e-15 ? base * (1.0 - std::exp(-k * span)) / k : base * span;
            loss += slopePerKm * (b.km - lastKm);
        }
        lastKm = b.km;
        if (b.section >= 0) {
            const FibreSection& s = scenario.fibres[static_cast<size_t>(b.section)];
            slopePerKm = is1310 ? s.att1310 : s.att1550;
        } else {
            const LinkEvent& ev = scenario.events[static_cast<size_t>(b.event)];
            if (ev.kind == EventKind::Connector)
                reflections_.push_back({PeriodsAt(ev.km), DbToRatio(ev.reflectanceDb - 2.0 * loss)});
            loss += is1310 ? ev.loss1310 : ev.loss1550;
        }
        const double start = PeriodsAt(b.km);
        const size_t section =
            static_cast<size_t>(std::upper_bound(sectionStartKm_.begin(), sectionStartKm_.end(), b.km) -
                                sectionStartKm_.begin() - 1);
        const double slope = slopePerKm / sectionPeriodsPerKm_[section];
        if (!segments_.empty() && segments_.back().start == start)
            segments_.back() = {start, loss, slope, cumulative};
        else
            segments_.push_back({start, loss, slope, cumulative});
    }
    const double endLoss = segments_.empty() ? 0.0 : loss + slopePerKm * (endKm - lastKm);
    reflections_.push_back({endPeriod_, DbToRatio(scenario.endReflectanceDb - 2.0 * endLoss)});
}

double LinkResponse::PeriodsAt(double km) const {
    if (sectionStartKm_.empty())
        return 0.0;
    const size_t i = static_cast<size_t>(
        std::upper_bound(sectionStartKm_.begin(), sectionStartKm_.end(), km) - sectionStartKm_.begin());
    const size_t section = i == 0 ? 0 : i - 1;
    return sectionStartT_[section] + (km - sectionStartKm_[section]) * sectionPeriodsPerKm_[section];
}

double LinkResponse::Integral(double t) const {
    t = std::min(t, endPeriod_);
    if (t <= 0.0 || segments_.empty())
        return 0.0;
    const auto it = std::upper_bound(segments_.begin(), segments_.end(), t,
                                     [](double value, const Segment& s) { return value < s.start; });
    const Segment& s = *(it - 1);
    const double x = t - s.start;
    const double k = 2.0 * s.slope * kLn10 / 10.0;
    const double base = DbToRatio(-2.0 * s.loss);
    return s.cumulative + (k > 1e-15 ? base * (1.0 - std::exp(-k * x)) / k : base * x);
}

void LinkResponse::Fill(double firstPeriod, const ShotSettings& shot, std::span<float> out) const {
    const double gain = figures::kLaunchCounts * DbToRatio(-shot.attenuationDb);
    const double pulse = shot.pulseNs / figures::kSamplePeriodNs;
    const double sigma = (shot.shortRange ? figures::kRiseShortNs : figures::kRiseLongNs) / kRisePerSigma /
                         figures::kSamplePeriodNs;
    const double recovery = figures::kRecoveryNs / figures::kSamplePeriodNs;
    const double span = figures::kAdcFullScale - figures::kAdcOffset;
    const double count = static_cast<double>(out.size());

    std::vector<double> signal(out.size());
    for (size_t j = 0; j < out.size(); ++j) {
        const double t = firstPeriod + static_cast<double>(j);
        signal[j] = gain * backscatterPerPeriod_ * (Integral(t) - Integral(t - pulse));
    }

    // A rectangle of the pulse's duration through the receiver's Gaussian response.
    const double edge = 1.0 / (std::sqrt(2.0) * sigma);
    const double peakShare = std::erf(pulse * edge / 2.0);
    for (const Reflection& r : reflections_) {
        const double amplitude = gain * r.power;
        const double from = std::max(0.0, std::ceil(r.time - 6.0 * sigma - firstPeriod));
        const double to = std::min(count - 1.0, std::floor(r.time + pulse + 6.0 * sigma - firstPeriod));
        for (double j = from; j <= to; ++j) {
            const double t = firstPeriod + j - r.time;
            signal[static_cast<size_t>(j)] +=
                amplitude * 0.5 * (std::erf(t * edge) - std::erf((t - pulse) * edge));
        }
        // An overloaded receiver comes back to the signal with its recovery time.
        if (amplitude * peakShare > span) {
            const double tailStart = r.time + pulse;
            const double tailEnd = tailStart + recovery * std::log(span / 1e-3);
            for (double j = std::max(0.0, std::ceil(tailStart - firstPeriod));
                 j <= std::min(count - 1.0, std::floor(tailEnd - firstPeriod)); ++j)
                signal[static_cast<size_t>(j)] += span * std::exp(-(firstPeriod + j - tailStart) / recovery);
        }
    }

    const double ceiling = figures::kAdcFullScale + 16.0 * figures::kNoiseCounts;
    for (size_t j = 0; j < out.size(); ++j)
        out[j] = static_cast<float>(std::min(figures::kAdcOffset + signal[j], ceiling));
}

} // namespace simboard
