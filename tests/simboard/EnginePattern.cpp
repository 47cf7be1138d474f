#include "tests/simboard/EnginePattern.h"

#include "simboard/SimBoard.h"

#include <algorithm>
#include <cmath>
#include <utility>

EnginePattern::EnginePattern(const Acquisition& acquisition)
    : a_(acquisition), device_(platform::OpenDevice("OTR1:")) {}

EnginePattern::~EnginePattern() {
    if (IsOpen())
        platform::CloseDevice(device_);
}

void EnginePattern::Write(uint32_t reg, uint16_t value) {
    const platform::RegisterWriteBuffer buffer{reg, value, 0};
    platform::DeviceIoControl(device_, platform::OTDR_IOCTL_WRITE, &buffer, sizeof buffer, nullptr, 0);
}

uint32_t EnginePattern::ReadWord() {
    uint32_t word = 0;
    if (!platform::DeviceIoControl(device_, platform::OTDR_IOCTL_READ, nullptr, 0, &word, sizeof word))
        return 0xFFFFFFFFu;
    return word;
}

void EnginePattern::Configure() {
    Write(0x2B0, 0);
    Write(0x220, 0);
    Write(0x300, 0);
    mode_ &= ~0x09;
    Write(0x2B0, mode_);
    mode_ &= ~0x02;
    Write(0x2B0, mode_);
    Write(0x290, 0);
    const int attenuation = static_cast<int>(a_.attenuationDb + 0.2f);
    if (attenuation == 0 || attenuation == 5 || attenuation == 10)
        attenuation_ = attenuation == 0 ? 17 : attenuation == 5 ? 10 : 21;
    Write(0x300, attenuation_);
    Write(0x210, 8);
    Write(0x2E0, 62);

    const double r = a_.rangeKm;
    m_ = static_cast<int>(a_.invalidMetres * 10.0f);
    int x = 0;
    if (r <= 1.0) {
        dotNum_ = static_cast<uint32_t>(r * 5120);
        shotLength_ = 22800, phases_ = 40, phaseStep_ = 2, wordsPerPhase_ = 520, shift_ = 5,
        groupsPerCycle_ = 16;
        x = (5 * m_) % 8 == 0 ? 5 * m_ : (m_ / 8 * 5 + 5) * 8;
    } else if (r <= 8.0) {
        dotNum_ = static_cast<uint32_t>(r * 2048);
        shotLength_ = 22800, phases_ = 16, phaseStep_ = 5, wordsPerPhase_ = 1300, shift_ = 2,
        groupsPerCycle_ = 32;
        x = m_ % 8 == 0 ? 2 * m_ : (m_ / 8 + 1) * 16;
    } else if (r <= 16.0) {
        dotNum_ = 16384;
        shotLength_ = 22480, phases_ = 8, phaseStep_ = 10, wordsPerPhase_ = 2560, shift_ = 1,
        groupsPerCycle_ = 32;
        x = m_ % 8 == 0 ? m_ : (m_ / 8 + 1) * 8;
    } else {
        dotNum_ = r < 100.0 ? static_cast<uint32_t>(r * 128) : 16384;
        shotLength_ = r < 100.0 ? 12240 : 22480;
        phases_ = 1, phaseStep_ = 0, wordsPerPhase_ = 18000, shift_ = 0, groupsPerCycle_ = 64;
        x = m_ / 8;
    }
    invalidDots_ = x / 10;
    if (phases_ == 1)
        invalidWords_ = invalidDots_;
    else if (phases_ == 8)
        invalidWords_ = invalidDots_ / 8 + (m_ % 8 != 0);
    else
        invalidWords_ = invalidDots_ / phases_ + (m_ % 40 != 0);
    sums_.assign(kOffsetDotNum + dotNum_ + static_cast<uint32_t>(invalidDots_) + 64, 0);
}

void EnginePattern::Arm() {
    Write(0x280, 0);
    Write(0x2C0, static_cast<uint16_t>((0x8000 - shotLength_) & 0xFFFF));
    control_ = a_.rangeKm <= 16.0 ? (control_ | 0x04) : (control_ & ~0x04);
    Write(0x200, control_);
    pulse_ = a_.wavelength == 1310 ? (pulse_ | 0x10) : (pulse_ & ~0x10);
    Write(0x220, pulse_);
    Write(0x200, control_ | 0x08);
    Write(0x250, 0);
    Write(0x200, control_ & ~0x08);
}

void EnginePattern::Flush() {
    Write(0x200, control_ | 0x02);
    Write(0x2D0, 0);
    Write(0x2D0, 0);
    Write(0x200, control_ & ~0x02);
}

uint16_t EnginePattern::PulseCode() const {
    static constexpr std::pair<int, uint16_t> kCodes[] = {{1, 0x80}, {8, 0},   {16, 2},   {32, 1},  {64, 3},
                                                          {128, 4},  {512, 5}, {1024, 6}, {2048, 7}};
    const int key = static_cast<int>(a_.pulseNs * 0.1f);
    for (const auto& [tenths, code] : kCodes)
        if (tenths == key)
            return code;
    return 3;
}

void EnginePattern::ShotGroup() {
    pulse_ = static_cast<uint16_t>((pulse_ & 0x78) | PulseCode());
    if (phases_ == 1) {
        Write(0x2C0, static_cast<uint16_t>(0x8000 - shotLength_));
        Write(0x220, pulse_);
        Write(0x310, 96);
        Write(0x250, 0);
        return;
    }
    uint8_t v = 100;
    for (int i = 0; i < phases_; ++i) {
        Write(0x2C0, static_cast<uint16_t>(0x8000 - shotLength_ / phases_));
        Write(0x220, pulse_);
        Write(0x310, v);
        Write(0x250, 0);
        v = static_cast<uint8_t>(v - phaseStep_);
    }
}

void EnginePattern::Read(std::vector<FifoRead>* log) {
    simboard::SimBoard& board = simboard::SimBoard::Instance();
    const auto take = [&](int phase, int j, uint32_t& into) {
        Write(0x2D0, 0);
        const uint32_t word = ReadWord();
        into += word;
        if (log)
            log->push_back({phase, j, board.FifoPosition(), word});
    };
    const int w = invalidWords_;
    Write(0x200, control_ | 0x02);
    if (phases_ > 1) {
        const int f = static_cast<int>(dotNum_) / phases_;
        const int g = static_cast<int>(dotNum_ + kOffsetDotNum) / phases_;
        for (int i = 0; i < phases_; ++i)
            for (int j = 0; j < w + g; ++j) {
                take(i, j, sums_[static_cast<size_t>(i + j * phases_)]);
                if (j == w + f - 1)
                    for (int s = 0; s < wordsPerPhase_ - w - f; ++s)
                        Write(0x2D0, 0);
            }
    } else {
        const int d = static_cast<int>(dotNum_);
        for (int j = 0; j < static_cast<int>(kOffsetDotNum) + d + w; ++j) {
            take(0, j, sums_[static_cast<size_t>(j)]);
            if (j == w + d - 1)
                for (int s = 0; s < 18000 - w - d; ++s)
                    Write(0x2D0, 0);
        }
    }
    Write(0x200, control_ & ~0x02);
}

void EnginePattern::RunAveraging(std::vector<FifoRead>* log) {
    Arm();
    Flush();
    std::fill(sums_.begin(), sums_.end(), 0);
    for (int i = 0; i < groupsPerCycle_ * a_.avgTime; ++i)
        ShotGroup();
    Read(log);
}

std::vector<uint32_t> EnginePattern::Averaged() const {
    const size_t total = kOffsetDotNum + dotNum_ + static_cast<size_t>(invalidDots_);
    std::vector<uint32_t> out(total);
    for (size_t k = 0; k < total; ++k)
        out[k] = static_cast<uint32_t>(static_cast<int32_t>(sums_[k]) / a_.avgTime);
    const size_t s = static_cast<size_t>(shift_ * m_ / 10);
    for (size_t k = 0; k < dotNum_; ++k)
        out[k] = out[s + k];

    static constexpr double kTaps[13] = {0.0654, 0.0708, 0.0756, 0.0795, 0.0823, 0.0841, 0.0847,
                                         0.0841, 0.0823, 0.0795, 0.0756, 0.0708, 0.0654};
    const int n = static_cast<int>(dotNum_);
    std::vector<uint32_t> input(out.begin(), out.begin() + n);
    for (int k = 0; k < n; ++k) {
        double acc = 0.0;
        for (int t = -6; t <= 6; ++t) {
            int i = k + t;
            if (i < 0)
                i = -i;
            if (i > n - 1)
                i = 2 * (n - 1) - i;
            acc = std::trunc(input[static_cast<size_t>(i)] * kTaps[t + 6] + acc);
        }
        out[static_cast<size_t>(k)] = static_cast<uint32_t>(acc);
    }
    return out;
}

uint32_t EnginePattern::NoiseMean(const std::vector<uint32_t>& averaged, uint32_t dotNum) {
    float sum = 0.0f;
    for (uint32_t k = dotNum; k < dotNum + kOffsetDotNum; ++k)
        sum += static_cast<float>(averaged[k]);
    return static_cast<uint32_t>(sum / static_cast<float>(kOffsetDotNum));
}

std::vector<uint32_t> EnginePattern::Levels() const {
    const std::vector<uint32_t> x = Averaged();
    const uint32_t mean = NoiseMean(x, dotNum_);
    std::vector<uint32_t> levels(dotNum_);
    for (uint32_t k = 0; k < dotNum_; ++k)
        levels[k] =
            x[k] > mean ? static_cast<uint32_t>(10000.0 * std::log10(static_cast<double>(x[k] - mean))) : 0;
    return levels;
}
