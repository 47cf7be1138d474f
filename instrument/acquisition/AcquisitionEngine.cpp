#include "instrument/acquisition/AcquisitionEngine.h"

#include "instrument/acquisition/DriverCalls.h"
#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/SmoothingFilter.h"

#include "platform/BoardRegisters.h"
#include "platform/DebugOut.h"
#include "platform/Time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

namespace reg = platform::reg;

// Acquisition buffers that cannot be had end the program, as the instrument does.
template <typename T> void Allocate(std::vector<T>& buffer, size_t size, const char* name) {
    try {
        buffer.assign(size, T{});
    } catch (const std::bad_alloc&) {
        std::printf("%s:Not enough memory to allocate buffer\n", name);
        std::fflush(stdout);
        std::exit(1);
    }
}

uint16_t PulseCode(float pulseWidth) {
    switch (static_cast<int>(pulseWidth * 0.1)) {
    case 1:
        return 0x80;
    case 8:
        return 0;
    case 16:
        return 2;
    case 32:
        return 1;
    case 64:
        return 3;
    case 128:
        return 4;
    case 512:
        return 5;
    case 1024:
        return 6;
    case 2048:
        return 7;
    default:
        return 3;
    }
}

} // namespace

AcquisitionEngine::AcquisitionEngine(platform::DeviceHandle otr, TestParameterTable& params, TestWayPair& way,
                                     const EngineContext& context)
    : otr_(otr), params_(params), way_(way), context_(context), invalid1310_(context.invalidMeter),
      invalid1550_(context.invalidMeter) {}

void AcquisitionEngine::Write(uint32_t reg, uint16_t value) {
    driver::RegisterWrite(otr_, reg, value);
}

int AcquisitionEngine::GroupsPerRound() const {
    const float range = Range();
    return range <= 1.0f ? 16 : (range <= 16.0f ? 32 : 64);
}

void AcquisitionEngine::Configure() {
    Write(reg::kMode, mode_);
    Write(reg::kPulse, pulse_);
    Write(reg::kAttenuation, attenuationCode_);
    mode_ &= static_cast<uint16_t>(~(0x08 | 0x01));
    Write(reg::kMode, mode_);
    mode_ &= static_cast<uint16_t>(~0x02);
    Write(reg::kMode, mode_);
    Write(reg::kConfigZero, 0);
    switch (static_cast<int>(params_.Value(kAttenuationItem) + 0.2f)) {
    case 0:
        attenuationCode_ = 17;
        break;
    case 5:
        attenuationCode_ = 10;
        break;
    case 10:
        attenuationCode_ = 21;
        break;
    default:
        break;
    }
    Write(reg::kAttenuation, attenuationCode_);
    Write(reg::kConfigEight, 8);
    Write(reg::kConfigSixtyTwo, 62);

    const float range = Range();
    M_ = static_cast<int32_t>((params_.Value(kWavelengthItem) == 1310.0f ? invalid1310_ : invalid1550_) *
                              10.0);
    const int32_t M = M_;
    int32_t X = 0;
    if (range <= 1.0f) {
        m_iDotNum = static_cast<uint32_t>(range * 5120);
        n_ = 22800;
        phases_ = 40;
        phaseStep_ = 2;
        wordsPerPhase_ = 520;
        shift_ = 5;
        X = (5 * M) % 8 == 0 ? 5 * M : (M / 8 * 5 + 5) * 8;
    } else if (range <= 8.0f) {
        m_iDotNum = static_cast<uint32_t>(range * 2048);
        n_ = 22800;
        phases_ = 16;
        phaseStep_ = 5;
        wordsPerPhase_ = 1300;
        shift_ = 2;
        X = M % 8 == 0 ? 2 * M : (M / 8 + 1) * 16;
    } else if (range <= 16.0f) {
        m_iDotNum = 16384;
        n_ = 22480;
        phases_ = 8;
        phaseStep_ = 10;
        wordsPerPhase_ = 2560;
        shift_ = 1;
        X = M % 8 == 0 ? M : (M / 8 + 1) * 8;
    } else {
        m_iDotNum = range >= 128.0f ? 16384 : static_cast<uint32_t>(range * 128);
        n_ = range >= 128.0f ? 22480 : 12240;
        phases_ = 1;
        phaseStep_ = 0;
        wordsPerPhase_ = 18000;
        shift_ = 0;
        X = M / 8;
    }
    m_iInvalidDotInFIFO = X > 0 ? static_cast<uint32_t>(X / 10) : 0;
    const uint32_t invalid = m_iInvalidDotInFIFO;
    const auto partial = [&](int32_t divisor) { return M % divisor != 0 ? 1u : 0u; };
    if (range > 16.0f)
        w_ = invalid;
    else if (range > 8.0f)
        w_ = invalid / 8 + partial(8);
    else if (range <= 1.0f)
        w_ = invalid / 40 + partial(40);
    else
        w_ = invalid / 16 + partial(40);
    platform::DebugOut("m_iDotNum = %d \r\n", static_cast<int>(m_iDotNum));

    // Every index the read and the trim touch.
    const uint32_t g = (m_iDotNum + m_iOffsetDotNum) / phases_;
    const uint32_t trim = static_cast<uint32_t>(std::max(0, static_cast<int32_t>(shift_) * M / 10));
    const size_t size = std::max({size_t{phases_} * (w_ + g), size_t{m_iOffsetDotNum} + m_iDotNum + w_,
                                  size_t{m_iOffsetDotNum} + m_iDotNum + invalid, size_t{trim} + m_iDotNum});
    pSamAvg.clear();
    pSamAvgOld.clear();
    Allocate(pSamAvg, size, "pSamAvg");
    Allocate(pSamAvgOld, size, "pSamAvgOld");
}

void AcquisitionEngine::Arm(uint32_t n) {
    Write(reg::kArmZero, 0);
    Write(reg::kShotLength, static_cast<uint16_t>((0x8000 - n) % 0x10000));
    if (Range() <= 16.0f)
        control_ |= reg::kShortRange;
    else
        control_ &= static_cast<uint16_t>(~reg::kShortRange);
    Write(reg::kControl, control_);
    if (params_.Value(kWavelengthItem) == 1310.0f)
        pulse_ |= reg::k1310;
    else
        pulse_ &= static_cast<uint16_t>(~reg::k1310);
    Write(reg::kPulse, pulse_);
    Write(reg::kControl, control_ | reg::kArm);
    Write(reg::kShotGroup, 0);
    platform::Sleep(5);
    Write(reg::kControl, control_ & static_cast<uint16_t>(~reg::kArm));
}

void AcquisitionEngine::Flush() {
    Write(reg::kControl, control_ | reg::kReadMode);
    Write(reg::kFifoAdvance, 0);
    Write(reg::kFifoAdvance, 0);
    Write(reg::kControl, control_ & static_cast<uint16_t>(~reg::kReadMode));
}

void AcquisitionEngine::ShotGroup() {
    pulse_ =
        static_cast<uint16_t>((pulse_ & 0xFF & ~reg::kPulseCode) | PulseCode(params_.Value(kPulseWidthItem)));
    if (Range() > 16.0f) {
        Write(reg::kShotLength, static_cast<uint16_t>(0x8000 - n_));
        Write(reg::kPulse, pulse_);
        Write(reg::kPhase, 96);
        Write(reg::kShotGroup, 0);
        platform::Sleep(3);
        return;
    }
    uint8_t phase = 100;
    for (uint32_t i = 0; i < phases_; ++i) {
        Write(reg::kShotLength, static_cast<uint16_t>(0x8000 - n_ / phases_));
        Write(reg::kPulse, pulse_);
        Write(reg::kPhase, phase);
        Write(reg::kShotGroup, 0);
        platform::Sleep(2);
        phase = static_cast<uint8_t>(phase - phaseStep_);
    }
}

void AcquisitionEngine::Read() {
    Write(reg::kControl, control_ | reg::kReadMode);
    if (Range() <= 16.0f) {
        const uint32_t f = m_iDotNum / phases_;
        const uint32_t g = (m_iDotNum + m_iOffsetDotNum) / phases_;
        const int64_t skip = static_cast<int64_t>(wordsPerPhase_) - w_ - f;
        for (uint32_t i = 0; i < phases_; ++i) {
            for (uint32_t j = 0; j < w_ + g; ++j) {
                Write(reg::kFifoAdvance, 0);
                pSamAvg[i + j * phases_] += driver::FifoRead(otr_);
                if (j == w_ + f - 1)
                    for (int64_t s = 0; s < skip; ++s)
                        Write(reg::kFifoAdvance, 0);
            }
        }
    } else {
        const uint32_t count = m_iOffsetDotNum + m_iDotNum + w_;
        const int64_t skip = 18000 - static_cast<int64_t>(w_) - m_iDotNum;
        for (uint32_t j = 0; j < count; ++j) {
            Write(reg::kFifoAdvance, 0);
            pSamAvg[j] += driver::FifoRead(otr_);
            if (j == w_ + m_iDotNum - 1)
                for (int64_t s = 0; s < skip; ++s)
                    Write(reg::kFifoAdvance, 0);
        }
    }
    Write(reg::kControl, control_ & static_cast<uint16_t>(~reg::kReadMode));
}

void AcquisitionEngine::ClearSums() {
    std::fill(pSamAvg.begin(), pSamAvg.end(), 0u);
}

void AcquisitionEngine::Acquire() {
    Arm(n_);
    Flush();
    ClearSums();
    const int groups = GroupsPerRound() * Rounds();
    for (int k = 0; k < groups; ++k)
        ShotGroup();
    Read();
}

void AcquisitionEngine::PostProcess(int32_t divisor, int levelRule, bool handOff) {
    const uint32_t count = m_iOffsetDotNum + m_iDotNum + m_iInvalidDotInFIFO;
    for (uint32_t k = 0; k < count; ++k)
        pSamAvgOld[k] = static_cast<int32_t>(pSamAvg[k]) / divisor;
    const uint32_t trim =
        Range() > 16.0f ? 0 : static_cast<uint32_t>(std::max(0, static_cast<int32_t>(shift_) * M_ / 10));
    for (uint32_t k = 0; k < m_iDotNum; ++k)
        pSamAvgOld[k] = pSamAvgOld[trim + k];
    SmoothingFilter(std::span<int32_t>(pSamAvgOld.data(), m_iDotNum));

    float noise = 0.0f;
    for (uint32_t k = m_iDotNum; k < m_iDotNum + 2000; ++k)
        noise += static_cast<float>(pSamAvgOld[k]);
    noiseMean_ = static_cast<uint32_t>(static_cast<int64_t>(noise) / 2000);

    for (uint32_t k = 0; k < m_iDotNum; ++k) {
        const auto x = static_cast<uint32_t>(pSamAvgOld[k]);
        if (levelRule == 0) {
            pSamAvgOld[k] =
                x > noiseMean_ ? static_cast<int32_t>(10000 * std::log10(double(x - noiseMean_))) : 0;
        } else if (levelRule == 1) {
            if (x > noiseMean_) {
                pSamAvgOld[k] = static_cast<int32_t>((std::log10(double(x - noiseMean_)) + 1.0) * 10000);
            } else {
                // The dither below the floor; q = 0 (no finite logarithm) and q = 1 both give 0.
                randomState_ = randomState_ * 214013u + 2531011u;
                const int q = static_cast<int>((randomState_ >> 16) & 0x7FFF) / 3640;
                pSamAvgOld[k] = q > 1 ? static_cast<int32_t>(6000 * std::log10(double(q))) : 0;
            }
        }
    }
    if (handOff)
        context_.ring.Put(Result());
}

std::vector<uint32_t> AcquisitionEngine::Result() const {
    std::vector<uint32_t> result(m_iDotNum);
    for (uint32_t k = 0; k < m_iDotNum && k < pSamAvgOld.size(); ++k)
        result[k] = static_cast<uint32_t>(pSamAvgOld[k]);
    return result;
}
