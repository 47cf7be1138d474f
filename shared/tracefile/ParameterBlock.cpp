#include "shared/tracefile/ParameterBlock.h"

#include <algorithm>
#include <cstring>

namespace tracefile {

namespace {

int32_t ReadLe(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                uint32_t{p[3]} << 24);
}

void WriteLe(uint8_t* p, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(u);
    p[1] = static_cast<uint8_t>(u >> 8);
    p[2] = static_cast<uint8_t>(u >> 16);
    p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t Stored(float value) {
    const float product = value * 100000.0f;
    // Out-of-range products saturate instead of being undefined.
    if (!(product > -2147483648.0f))
        return INT32_MIN;
    if (product >= 2147483648.0f)
        return INT32_MAX;
    return static_cast<int32_t>(product);
}

bool InRange(float value, float low, float high) {
    return value >= low && value <= high;
}

bool InRange(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

} // namespace

std::array<int32_t, 8> ParameterBlock::Words() const {
    return {range,      m_iWaveLen,    m_iPulseWidth, m_iAttenuation,
            m_iAvgTime, m_fRefractive, m_fCableRatio, m_fEventThreshold};
}

void ParameterBlock::Encode(std::span<uint8_t, kBytes> out) const {
    const auto words = Words();
    for (size_t i = 0; i < words.size(); ++i)
        WriteLe(out.data() + 4 * i, words[i]);
    WriteLe(out.data() + 32, testWay);
    for (size_t i = 0; i < reserved.size(); ++i)
        WriteLe(out.data() + 36 + 4 * i, reserved[i]);
}

ParameterBlock ParameterBlock::Decode(std::span<const uint8_t, kBytes> in) {
    ParameterBlock block;
    int32_t* fields[] = {&block.range,          &block.m_iWaveLen,        &block.m_iPulseWidth,
                         &block.m_iAttenuation, &block.m_iAvgTime,        &block.m_fRefractive,
                         &block.m_fCableRatio,  &block.m_fEventThreshold, &block.testWay};
    for (size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = ReadLe(in.data() + 4 * i);
    for (size_t i = 0; i < block.reserved.size(); ++i)
        block.reserved[i] = ReadLe(in.data() + 36 + 4 * i);
    return block;
}

ParameterBlock ParameterBlock::FromParameters(const std::array<float, 8>& values, int averageSeconds,
                                              int testWay) {
    ParameterBlock block;
    block.range = Stored(values[0]);
    block.m_iWaveLen = Stored(values[1]);
    block.m_iPulseWidth = Stored(values[2]);
    block.m_iAttenuation = Stored(values[3]);
    // The whole seconds times 100000 as integers: a float product loses the last digits of large times.
    const int64_t averageWord = int64_t{averageSeconds} * 100000;
    block.m_iAvgTime = static_cast<int32_t>(std::clamp<int64_t>(averageWord, INT32_MIN, INT32_MAX));
    block.m_fRefractive = Stored(values[5]);
    block.m_fCableRatio = Stored(values[6]);
    block.m_fEventThreshold = Stored(values[7]);
    block.testWay = testWay;
    return block;
}

float BlockRatio(int32_t word, ReaderVariant variant) {
    if (variant == ReaderVariant::Pc)
        return static_cast<float>(static_cast<uint32_t>(word) / 100000.0);
    return static_cast<float>(word * 0.00001);
}

float BlockRangeKm(const ParameterBlock& block, ReaderVariant variant) {
    return BlockRatio(block.range, variant);
}

bool IsValidBlock(const ParameterBlock& block, ReaderVariant variant) {
    const float range = BlockRangeKm(block, variant);
    bool knownRange = false;
    for (const float km : {0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 32.0f, 64.0f, 128.0f})
        knownRange = knownRange || range == km;
    const int32_t wavelength = block.m_iWaveLen / 100000;
    const float lowestIndex = variant == ReaderVariant::Pc ? 0.999f : 1.0f;
    return knownRange && (wavelength == 1310 || wavelength == 1550) &&
           InRange(block.m_iPulseWidth / 100000, 0, 20480) &&
           InRange(block.m_iAttenuation / 100000, 0, 100) && block.m_iAvgTime / 100000 >= 0 &&
           InRange(BlockRatio(block.m_fRefractive, variant), lowestIndex, 2.0f) &&
           InRange(BlockRatio(block.m_fCableRatio, variant), 0.8f, 1.0f) &&
           InRange(BlockRatio(block.m_fEventThreshold, variant), 0.009f, 9.999f);
}

} // namespace tracefile
