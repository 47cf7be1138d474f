#pragma once
#include "simboard/Scenario.h"

#include <cstdint>
#include <span>
#include <vector>

namespace simboard {

// Figures of the simulated board; SCENARIOS.md gives their meaning and sources.
namespace figures {
constexpr double kSamplePeriodNs = 78.125;         // one base sample period T (12.8 MHz)
constexpr double kMetresPerPeriodIndex = 11.71875; // 7.8125 m x 1.5: metres per T times group index
constexpr double kBackscatter1310Db = -80.0;       // backscatter of a 1 ns pulse below the launched power
constexpr double kBackscatter1550Db = -82.0;
constexpr double kFrontReflectanceDb = -25.0; // the launch: front connector and coupler return
constexpr double kLaunchCounts = 7.94e8;      // ADC counts the launched peak power would give (89 dB)
constexpr double kRiseShortNs = 4.0;          // receiver 10-90 % rise, 16 km or less
constexpr double kRiseLongNs = 60.0;          // above 16 km: filtered to the 78 ns sampling
constexpr double kRecoveryNs = 12.0;          // receiver recovery after an overload
constexpr int kAdcFullScale = 16383;          // 14 bits
constexpr double kAdcOffset = 300.0;          // counts of a dark receiver
constexpr double kNoiseCounts = 30.0;         // receiver noise per conversion, rms: hides the truncations
} // namespace figures

// What one shot group is fired with.
struct ShotSettings {
    bool is1310 = true;
    double pulseNs = 80.0;
    double attenuationDb = 0.0;
    bool shortRange = true; // control bit 0x04: the receiver's bandwidth
};

// The noiseless receiver output of one link at one wavelength.
class LinkResponse {
public:
    LinkResponse(const Scenario& scenario, bool is1310);

    // Mean ADC value (offset included, before clipping) at times (firstPeriod + j) x T for every j of
    // `out`; time 0 is the pulse leaving the front panel.
    void Fill(double firstPeriod, const ShotSettings& shot, std::span<float> out) const;

    // Time of flight (in T, two ways) to a distance along the link.
    double PeriodsAt(double km) const;

private:
    struct Segment {
        double start;      // T
        double loss;       // one-way dB at the start, point losses before it included
        double slope;      // one-way dB per T
        double cumulative; // backscatter integral up to the start, in T
    };
    struct Reflection {
        double time;  // T
        double power; // relative to the launched power, two-way loss before it included
    };

    double Integral(double t) const; // backscatter integral from 0 to t (clamped to the end)

    std::vector<Segment> segments_;
    std::vector<Reflection> reflections_;
    std::vector<double> sectionStartKm_, sectionStartT_, sectionPeriodsPerKm_;
    double endPeriod_ = 0.0;
    double backscatterPerPeriod_ = 0.0; // 1 ns backscatter x ns per T
};

} // namespace simboard
