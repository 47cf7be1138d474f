#pragma once
#include "simboard/Optics.h"
#include "simboard/Scenario.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace simboard {

// One phase's accumulated record in the FIFO.
struct PhaseRecord {
    uint16_t phaseValue = 0;
    int64_t start = 0; // FIFO position of its word 0
    uint32_t length = 0;
    uint32_t shots = 0;
};

// Seeded noise: a fast generator over a table of Gaussian quantiles.
class NoiseSource {
public:
    static constexpr uint64_t kDefaultSeed = 0x5EEDB0A2D;
    NoiseSource();
    void Seed(uint64_t seed);
    uint64_t SeedValue() const { return seed_; }
    // Adds one conversion per bin: the mean plus noise, rounded and clipped to the ADC's range.
    void Convert(const float* mean, uint32_t* sum, size_t count);
    // Noise of a sum of `shots` dark conversions at a FIFO position, repeatable per position.
    double SumNoise(uint64_t salt, int64_t position, uint32_t shots) const;

private:
    uint64_t Next();
    static constexpr int kTableBits = 12;
    std::array<float, 1u << kTableBits> table_{}; // noise in counts
    uint64_t seed_ = kDefaultSeed;
    uint64_t state_[4] = {};
};

// The acquisition board behind "OTR1:": not thread-safe, SimBoard serialises.
class AcquisitionBoard {
public:
    // A record's sums stay below 2^32 for any conversions up to full scale.
    static constexpr uint32_t kMaxShots = 0xFFFFFFFFu / figures::kAdcFullScale;
    static constexpr uint32_t kMaxRecordWords = 0x8000;

    AcquisitionBoard();
    ~AcquisitionBoard();

    void WriteRegister(uint32_t reg, uint16_t value);
    uint32_t ReadFifo();
    // The word a read at `position` returns, without counting it.
    uint32_t PeekFifo(int64_t position) const;

    uint16_t Register(uint32_t reg) const;
    uint64_t RegisterWrites(uint32_t reg) const;
    std::map<uint32_t, uint64_t> RegisterWriteCounts() const;
    int64_t FifoPosition() const { return position_; }
    uint64_t FifoReads() const { return reads_; }
    const std::vector<PhaseRecord>& Records() const { return records_; }

    void SetScenario(const Scenario& scenario);
    const Scenario& CurrentScenario() const { return scenario_; }
    void SetNoiseSeed(uint64_t seed) { noise_.Seed(seed); }
    // The measuring section ("POF1:" codes 6 and 5): switched off, a shot group converts the dark
    // receiver only.
    void SetSectionOn(bool on) { sectionOn_ = on; }

    // What the current registers fire a shot group with.
    ShotSettings CurrentShot() const;
    // Time of bin 0 of a record, in base sample periods.
    static double PhaseDelay(uint16_t phaseValue) { return (100.0 - phaseValue) / 80.0; }
    static uint32_t RecordLength(uint16_t shotLengthRegister);

    // Registers, counts and FIFO cleared, the section off; the scenario stays, the noise restarts from
    // the default seed.
    void Reset();

private:
    void Arm();
    void FireShotGroup();
    const std::vector<float>& Mean(const PhaseRecord& record);
    const std::vector<float>& Dark(uint32_t length);

    static constexpr uint32_t kDirectRegisters = 0x1000;
    std::array<uint16_t, kDirectRegisters> values_{};
    std::array<uint64_t, kDirectRegisters> writes_{};
    std::map<uint32_t, uint16_t> otherValues_;
    std::map<uint32_t, uint64_t> otherWrites_;

    std::vector<uint32_t> fifo_; // the records, concatenated
    std::vector<PhaseRecord> records_;
    int64_t position_ = 0;
    uint64_t reads_ = 0;
    uint64_t arms_ = 0;

    Scenario scenario_;
    std::unique_ptr<LinkResponse> response1310_, response1550_;
    std::unordered_map<uint64_t, std::vector<float>> means_;
    std::vector<float> dark_; // the offset alone, as long as the longest record so far
    NoiseSource noise_;
    bool sectionOn_ = false;
};

} // namespace simboard
