#pragma once
#include <array>
#include <cstdint>
#include <span>

namespace tracefile {

// The stored form of a test's parameters: eight values x 100000 (truncated), the test way and seven
// reserved words; the 64-byte little-endian trailer of every ".st" file.
struct ParameterBlock {
    int32_t range = 0;
    int32_t m_iWaveLen = 0;
    int32_t m_iPulseWidth = 0;
    int32_t m_iAttenuation = 0;
    int32_t m_iAvgTime = 0;
    int32_t m_fRefractive = 0;
    int32_t m_fCableRatio = 0;
    int32_t m_fEventThreshold = 0;
    int32_t testWay = 0;
    std::array<int32_t, 7> reserved{};

    static constexpr size_t kBytes = 64;

    bool operator==(const ParameterBlock&) const = default;

    // The eight words in item order.
    std::array<int32_t, 8> Words() const;

    void Encode(std::span<uint8_t, kBytes> out) const;
    static ParameterBlock Decode(std::span<const uint8_t, kBytes> in);

    // From the eight parameter values (range km, wavelength nm, pulse ns, attenuation dB, average
    // time, refractive index, cable ratio, threshold dB): each value x 100000 as a single-precision
    // product, truncated; word 4 is the average time in whole seconds x 100000 as an integer product.
    static ParameterBlock FromParameters(const std::array<float, 8>& values, int averageSeconds, int testWay);
};

// Which program reads the block: the PC reads range and the ratios as unsigned words and takes a
// refractive index down to 0.999.
enum class ReaderVariant { Instrument, Pc };

bool IsValidBlock(const ParameterBlock& block, ReaderVariant variant);

// The range in km as the reader of that variant sees it.
float BlockRangeKm(const ParameterBlock& block, ReaderVariant variant);
// A ratio word (refractive index, cable ratio, threshold) or the range as that variant reads it.
float BlockRatio(int32_t word, ReaderVariant variant);

} // namespace tracefile
