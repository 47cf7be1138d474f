#include "tests/support/SyntheticTrace.h"

#include "shared/tracefile/RangeGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr double kLevelPerDecade = 10000.0;
constexpr double kDbPerLevel = 0.0005;
// Half the speed of light in vacuum, metres per nanosecond: a pulse of P ns fills P x this / n metres.
constexpr double kHalfLightSpeed = 0.299792458 / 2.0;

// The instrument's smoothing filter, applied to the averaged linear samples.
constexpr std::array<double, 13> kSmoothing = {0.0654, 0.0708, 0.0756, 0.0795, 0.0823, 0.0841, 0.0847,
                                               0.0841, 0.0823, 0.0795, 0.0756, 0.0708, 0.0654};

bool Is1310(float wavelengthNm) {
    return wavelengthNm == 1310.0f;
}

double Linear(double level) {
    return std::pow(10.0, level / kLevelPerDecade);
}

// std::normal_distribution differs between standard libraries; Box-Muller over the engine's words
// does not.
class Gaussian {
public:
    explicit Gaussian(uint32_t seed) : engine_(seed) {}
    double operator()() {
        if (spare_) {
            spare_ = false;
            return next_;
        }
        const double u1 = Uniform(), u2 = Uniform();
        const double radius = std::sqrt(-2.0 * std::log(u1));
        next_ = radius * std::sin(2.0 * std::numbers::pi * u2);
        spare_ = true;
        return radius * std::cos(2.0 * std::numbers::pi * u2);
    }

private:
    double Uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
    std::mt19937 engine_;
    double next_ = 0.0;
    bool spare_ = false;
};

std::vector<double> Smooth(const std::vector<double>& x) {
    const auto n = static_cast<long>(x.size());
    std::vector<double> out(x.size());
    constexpr long half = kSmoothing.size() / 2;
    for (long k = 0; k < n; ++k) {
        double acc = 0.0;
        for (long t = -half; t <= half; ++t) {
            long j = k + t;
            // Reflected about the end points without repeating them; a trace shorter than the filter
            // folds back and forth.
            while (j < 0 || j >= n) {
                if (j < 0)
                    j = -j;
                if (j >= n)
                    j = 2 * (n - 1) - j;
                if (n == 1)
                    j = 0;
            }
            acc += x[static_cast<size_t>(j)] * kSmoothing[static_cast<size_t>(t + half)];
        }
        out[static_cast<size_t>(k)] = acc;
    }
    return out;
}

} // namespace

uint32_t SyntheticTrace::SampleAt(double km) const {
    return kmPerSample > 0.0 ? static_cast<uint32_t>(std::lround(km / kmPerSample)) : 0;
}

double TypicalAttenuation(float wavelengthNm) {
    return Is1310(wavelengthNm) ? 0.34 : 0.20;
}

double BackscatterStartLevel(float pulseNs, float wavelengthNm) {
    return 40000.0 + 4500.0 * std::log10(std::max(pulseNs, 1.0f) / 10.0) -
           (Is1310(wavelengthNm) ? 0.0 : 1500.0);
}

double ReflectionRise(double reflectanceDb, float pulseNs, float wavelengthNm) {
    const double coefficient =
        (Is1310(wavelengthNm) ? -79.0 : -82.0) + 10.0 * std::log10(std::max(pulseNs, 1.0f));
    return kLevelPerDecade * std::log10(1.0 + std::pow(10.0, (reflectanceDb - coefficient) / 10.0));
}

double NoiseLevel(int averageSeconds) {
    return 4000.0 + 5000.0 * std::log10(7.0 / std::max(averageSeconds, 1));
}

SyntheticTrace GenerateTrace(const TraceSetup& setup, const FibreLink& link) {
    SyntheticTrace trace;
    const uint32_t n = tracefile::PointsForRange(setup.rangeKm);
    if (n == 0 || setup.refractive <= 0.0f)
        return trace;
    // The nominal spacing of the range: the detection cases were laid out on this scale.
    trace.kmPerSample =
        tracefile::NominalSpacing(setup.rangeKm) * 1.5 / setup.refractive * setup.cableRatio / 1000.0;
    const double pulseKm = setup.pulseNs * kHalfLightSpeed / setup.refractive / 1000.0;
    const uint32_t pulse =
        std::max<uint32_t>(1, static_cast<uint32_t>(std::lround(pulseKm / trace.kmPerSample)));
    trace.pulseSamples = pulse;

    std::vector<LinkEvent> events = link.events;
    std::sort(events.begin(), events.end(),
              [](const LinkEvent& a, const LinkEvent& b) { return a.km < b.km; });

    // Local scatter density (linear) at each sample: what a pulse at that spot sends back per sample.
    const double start = BackscatterStartLevel(setup.pulseNs, setup.wavelengthNm);
    std::vector<double> density(n, 0.0);
    {
        size_t next = 0;
        double eventLoss = 0.0;
        for (uint32_t k = 0; k < n; ++k) {
            const double km = k * trace.kmPerSample;
            if (km > link.lengthKm)
                break;
            while (next < events.size() && events[next].km < km)
                eventLoss += events[next++].lossDb;
            const double lossDb = link.attenuationDbPerKm * km + eventLoss;
            density[k] = Linear(start - lossDb / kDbPerLevel);
        }
    }

    // Backscatter is the scatter over the pulse's length behind the leading edge.
    std::vector<double> signal(n, 0.0);
    {
        double window = 0.0;
        for (uint32_t k = 0; k < n; ++k) {
            window += density[k];
            if (k >= pulse)
                window -= density[k - pulse];
            signal[k] = window / pulse;
        }
    }

    auto reflect = [&](double km, double reflectanceDb) {
        const uint32_t at = trace.SampleAt(km);
        if (at >= n)
            return;
        const double incident = density[at > 0 ? at - 1 : 0];
        const double rho = std::pow(10.0, ReflectionRise(reflectanceDb, setup.pulseNs, setup.wavelengthNm) /
                                              kLevelPerDecade) -
                           1.0;
        for (uint32_t k = at; k < std::min(n, at + pulse); ++k)
            signal[k] += rho * incident;
    };
    for (const LinkEvent& event : events)
        if (event.kind == LinkEventKind::Connector)
            reflect(event.km, event.reflectanceDb);
    reflect(link.lengthKm, link.endReflectanceDb);

    // The launch saturates the receiver for the pulse and its recovery, then decays.
    const double saturation = Linear(kSaturationLevel);
    const uint32_t plateau = pulse + 2;
    const double recovery = std::max(1.0, pulse / 8.0);
    for (uint32_t k = 0; k < n; ++k) {
        double launch = saturation;
        if (k == 0)
            launch = 0.05 * saturation;
        else if (k == 1)
            launch = 0.3 * saturation;
        else if (k >= plateau)
            launch = saturation * std::exp(-static_cast<double>(k - plateau) / recovery);
        signal[k] = std::min(signal[k] + launch, saturation);
    }
    const double tail = recovery * std::log(saturation / (0.05 * Linear(start)));
    trace.launchSamples = std::min(n, plateau + static_cast<uint32_t>(std::ceil(tail)));

    // Raw noise before the smoothing, which narrows it by the root of the summed squared taps.
    double tapPower = 0.0;
    for (double c : kSmoothing)
        tapPower += c * c;
    const double sigma = Linear(NoiseLevel(setup.averageSeconds)) / std::sqrt(tapPower);
    Gaussian gauss(setup.seed);
    for (double& x : signal)
        x += sigma * gauss();

    const std::vector<double> smoothed = Smooth(signal);
    trace.samples.resize(n);
    for (uint32_t k = 0; k < n; ++k) {
        const double whole = std::floor(std::min(smoothed[k], saturation));
        trace.samples[k] = whole >= 1.0 ? static_cast<uint32_t>(kLevelPerDecade * std::log10(whole)) : 0;
    }
    return trace;
}
