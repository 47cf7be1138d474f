#include "simboard/AcquisitionBoard.h"

#include "platform/BoardRegisters.h"

#include <algorithm>
#include <cmath>

namespace simboard {
namespace reg = platform::reg;
namespace {

uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

// The standard normal quantile, by bisection on the complementary error function.
double NormalQuantile(double p) {
    double low = -10.0, high = 10.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (low + high);
        if (0.5 * std::erfc(-mid / std::sqrt(2.0)) < p)
            low = mid;
        else
            high = mid;
    }
    return 0.5 * (low + high);
}

double PulseNs(uint16_t pulseByte) {
    static constexpr double kByCode[8] = {80, 320, 160, 640, 1280, 5120, 10240, 20480};
    return (pulseByte & 0x80) ? 10.0 : kByCode[pulseByte & 0x07];
}

double AttenuationDb(uint16_t code) {
    switch (code) {
    case 17:
        return 0.0;
    case 10:
        return 5.0;
    default: // 21, and anything unknown: the receiver's strongest protection
        return 10.0;
    }
}

} // namespace

NoiseSource::NoiseSource() {
    const double n = static_cast<double>(table_.size());
    for (size_t i = 0; i < table_.size(); ++i)
        table_[i] =
            static_cast<float>(figures::kNoiseCounts * NormalQuantile((static_cast<double>(i) + 0.5) / n));
    Seed(kDefaultSeed);
}

void NoiseSource::Seed(uint64_t seed) {
    seed_ = seed;
    uint64_t x = seed;
    for (uint64_t& s : state_)
        s = SplitMix(x);
}

uint64_t NoiseSource::Next() {
    // xoshiro256**
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
}

void NoiseSource::Convert(const float* mean, uint32_t* sum, size_t count) {
    constexpr uint64_t mask = (1u << kTableBits) - 1;
    constexpr float top = static_cast<float>(figures::kAdcFullScale);
    size_t j = 0;
    while (j < count) {
        uint64_t r = Next();
        const size_t stop = std::min(count, j + 64 / kTableBits);
        for (; j < stop; ++j, r >>= kTableBits) {
            const float v = std::clamp(mean[j] + table_[r & mask], 0.0f, top);
            sum[j] += static_cast<uint32_t>(v + 0.5f);
        }
    }
}

double NoiseSource::SumNoise(uint64_t salt, int64_t position, uint32_t shots) const {
    uint64_t x = seed_ ^ (salt * 0xD1B54A32D192ED03ull) ^ static_cast<uint64_t>(position);
    const uint64_t r = SplitMix(x);
    return table_[r >> (64 - kTableBits)] * std::sqrt(static_cast<double>(shots));
}

AcquisitionBoard::AcquisitionBoard() : scenario_(DefaultScenario()) {}
AcquisitionBoard::~AcquisitionBoard() = default;

uint32_t AcquisitionBoard::RecordLength(uint16_t shotLengthRegister) {
    const uint32_t words = (0x8000u - shotLengthRegister) & 0xFFFFu;
    return std::min(words, kMaxRecordWords);
}

void AcquisitionBoard::WriteRegister(uint32_t reg, uint16_t value) {
    uint16_t previous = 0;
    if (reg < kDirectRegisters) {
        previous = values_[reg];
        values_[reg] = value;
        ++writes_[reg];
    } else {
        otherValues_[reg] = value;
        ++otherWrites_[reg];
    }
    switch (reg) {
    case reg::kControl:
        // Leaving read mode rewinds to before word 0: the advance before the next read lands on it.
        if (!(value & reg::kReadMode) && (previous & reg::kReadMode))
            position_ = -1;
        break;
    case reg::kFifoAdvance:
        ++position_;
        break;
    case reg::kShotGroup:
        if (values_[reg::kControl] & reg::kArm)
            Arm();
        else
            FireShotGroup();
        break;
    default:
        break;
    }
}

void AcquisitionBoard::Arm() {
    fifo_.clear();
    records_.clear();
    position_ = 0;
    ++arms_;
}

ShotSettings AcquisitionBoard::CurrentShot() const {
    const uint16_t pulse = values_[reg::kPulse];
    return {(pulse & reg::k1310) != 0, PulseNs(pulse), AttenuationDb(values_[reg::kAttenuation]),
            (values_[reg::kControl] & reg::kShortRange) != 0};
}

void AcquisitionBoard::FireShotGroup() {
    const uint16_t phase = values_[reg::kPhase];
    auto it = std::find_if(records_.begin(), records_.end(),
                           [phase](const PhaseRecord& r) { return r.phaseValue == phase; });
    if (it == records_.end()) {
        PhaseRecord record;
        record.phaseValue = phase;
        record.start = static_cast<int64_t>(fifo_.size());
        record.length = RecordLength(values_[reg::kShotLength]);
        fifo_.resize(fifo_.size() + record.length, 0);
        records_.push_back(record);
        it = records_.end() - 1;
    }
    // A full accumulator takes no more: a wrapped sum would be worse than a stalled one.
    if (it->shots >= kMaxShots)
        return;
    const std::vector<float>& mean = sectionOn_ ? Mean(*it) : Dark(it->length);
    noise_.Convert(mean.data(), fifo_.data() + it->start, it->length);
    ++it->shots;
}

const std::vector<float>& AcquisitionBoard::Mean(const PhaseRecord& record) {
    const uint16_t pulse = values_[reg::kPulse];
    const uint64_t key = uint64_t{record.phaseValue} | uint64_t{record.length & 0xFFFFu} << 16 |
                         (uint64_t{pulse} & (reg::kPulseCode | reg::k1310)) << 32 |
                         uint64_t{values_[reg::kAttenuation]} << 40 |
                         uint64_t{(values_[reg::kControl] & reg::kShortRange) != 0} << 56;
    if (const auto found = means_.find(key); found != means_.end())
        return found->second;
    if (means_.size() >= 512)
        means_.clear();

    const ShotSettings shot = CurrentShot();
    std::unique_ptr<LinkResponse>& response = shot.is1310 ? response1310_ : response1550_;
    if (!response)
        response = std::make_unique<LinkResponse>(scenario_, shot.is1310);
    std::vector<float> mean(record.length);
    response->Fill(PhaseDelay(record.phaseValue), shot, mean);
    return means_.emplace(key, std::move(mean)).first->second;
}

const std::vector<float>& AcquisitionBoard::Dark(uint32_t length) {
    if (dark_.size() < length)
        dark_.assign(length, static_cast<float>(figures::kAdcOffset));
    return dark_;
}

uint32_t AcquisitionBoard::ReadFifo() {
    ++reads_;
    return PeekFifo(position_);
}

uint32_t AcquisitionBoard::PeekFifo(int64_t position) const {
    if (position >= 0 && position < static_cast<int64_t>(fifo_.size()))
        return fifo_[static_cast<size_t>(position)];
    // Past the records: what a dark bin sums over the shots of the last record.
    const uint32_t shots = records_.empty() ? 0 : records_.back().shots;
    const double value = figures::kAdcOffset * shots + noise_.SumNoise(arms_, position, shots);
    return static_cast<uint32_t>(std::llround(std::max(0.0, value)));
}

uint16_t AcquisitionBoard::Register(uint32_t reg) const {
    if (reg < kDirectRegisters)
        return values_[reg];
    const auto it = otherValues_.find(reg);
    return it == otherValues_.end() ? 0 : it->second;
}

uint64_t AcquisitionBoard::RegisterWrites(uint32_t reg) const {
    if (reg < kDirectRegisters)
        return writes_[reg];
    const auto it = otherWrites_.find(reg);
    return it == otherWrites_.end() ? 0 : it->second;
}

std::map<uint32_t, uint64_t> AcquisitionBoard::RegisterWriteCounts() const {
    std::map<uint32_t, uint64_t> counts = otherWrites_;
    for (uint32_t r = 0; r < kDirectRegisters; ++r)
        if (writes_[r])
            counts[r] = writes_[r];
    return counts;
}

void AcquisitionBoard::SetScenario(const Scenario& scenario) {
    if (scenario == scenario_)
        return;
    scenario_ = scenario;
    response1310_.reset();
    response1550_.reset();
    means_.clear();
}

void AcquisitionBoard::Reset() {
    values_.fill(0);
    writes_.fill(0);
    otherValues_.clear();
    otherWrites_.clear();
    fifo_.clear();
    records_.clear();
    position_ = 0;
    reads_ = 0;
    arms_ = 0;
    sectionOn_ = false;
    noise_.Seed(NoiseSource::kDefaultSeed);
}

} // namespace simboard
