#pragma once
// Synthetic OTDR traces for tests and benchmarks: the samples an averaging test delivers for a described
// fibre link, in level units without the version offset, as the analysis receives them (10000 per decade
// of received power above the noise mean, so a one-way loss of X dB lowers the level by X / 0.0005).
//
// Model, in the linear received-power domain, then converted as the acquisition converts:
// - Rayleigh backscatter: the level falls linearly with distance by attenuation / 0.0005 units per km.
//   Typical single-mode figures: 0.33-0.35 dB/km at 1310 nm, 0.19-0.21 dB/km at 1550 nm. The start
//   level is about 40000 units for 10 ns and rises about 4500 units per decade of pulse width, to about
//   55000 at 20 us (the receiver gain is lowered for long pulses); 1500 units less at 1550 nm, whose
//   scattering is weaker.
// - The pulse: backscatter is the mean of the local scatter over the pulse's half length in the fibre
//   (P ns x c / 2n), so a loss becomes a ramp as wide as the pulse in samples, and a reflection a
//   rectangle of that width.
// - Reflections add rho x local backscatter, rho = 10^((reflectance - BC) / 10), where the backscatter
//   coefficient BC is about -79 dB (1310 nm) or -82 dB (1550 nm) for 1 ns, plus 10 log10(P / 1 ns).
//   Typical reflectances: PC connectors -45..-55 dB, a cleaved or open PC end about -14 dB (Fresnel).
//   A long pulse therefore hides weak reflections under its own backscatter.
// - Losses: fusion splices 0.05-0.2 dB (negative for a gainer, when the next fibre scatters more),
//   connectors 0.3-0.5 dB, bends whatever is given (they lose more at 1550 nm than at 1310 nm).
// - The launch: the front connector saturates the receiver: a two-sample rising edge, a plateau at the
//   saturation level for the pulse and two samples more, then a recovery decaying with an eighth of the
//   pulse width (at least a sample). The saturation level, kSaturationLevel, lies high enough above the
//   backscatter that -45..-55 dB connectors stay well below it while a Fresnel end reaches it with short
//   pulses. Beyond the fibre end only noise remains.
// - Noise: Gaussian in linear power, zero mean after the noise-mean subtraction, so in level units it
//   grows with distance as the signal falls; its 1-sigma level is about 4000 units at 7 s of averaging
//   and drops 5000 units per decade of averaging time (sigma ~ 1 / sqrt(time)).
// - Acquisition: the 13-tap smoothing of the instrument over the linear samples, the integer part of
//   the averaged value, and 10000 x log10 of it (values below 1 give 0), so samples never go negative.
// The random numbers come from std::mt19937 with a hand-written Gaussian, so a seed gives the same trace
// with every standard library.
#include <cstdint>
#include <vector>

enum class LinkEventKind { Splice, Connector, Bend };

struct LinkEvent {
    LinkEventKind kind = LinkEventKind::Splice;
    double km = 0.0;
    double lossDb = 0.0;          // one-way
    double reflectanceDb = -50.0; // connectors only
};

struct FibreLink {
    double lengthKm = 1.0;
    double attenuationDbPerKm = 0.34;
    std::vector<LinkEvent> events;   // in any order, all before the end
    double endReflectanceDb = -14.0; // a cleaved or open PC end
};

struct TraceSetup {
    float rangeKm = 16.0f;
    float pulseNs = 160.0f;
    float wavelengthNm = 1310.0f;
    float refractive = 1.4680f;
    float cableRatio = 1.0f;
    int averageSeconds = 7;
    uint32_t seed = 1;
};

struct SyntheticTrace {
    std::vector<uint32_t> samples; // PointsForRange(range) of them; empty for an unknown range
    double kmPerSample = 0.0;
    uint32_t pulseSamples = 1;  // the pulse's half length in the fibre, in samples
    uint32_t launchSamples = 0; // where the launch tail has fallen to the backscatter

    uint32_t SampleAt(double km) const;
};

constexpr uint32_t kSaturationLevel = 90000;

// 0.34 dB/km at 1310 nm, 0.20 dB/km otherwise.
double TypicalAttenuation(float wavelengthNm);
// Start level of the backscatter (level units) for a pulse width and wavelength.
double BackscatterStartLevel(float pulseNs, float wavelengthNm);
// How far (level units) a reflection of that reflectance rises above the backscatter at its position.
double ReflectionRise(double reflectanceDb, float pulseNs, float wavelengthNm);
// The 1-sigma noise level (level units) for an averaging time.
double NoiseLevel(int averageSeconds);

SyntheticTrace GenerateTrace(const TraceSetup& setup, const FibreLink& link);
