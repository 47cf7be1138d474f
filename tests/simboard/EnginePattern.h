#pragma once
// The acquisition engine's register and FIFO traffic on "OTR1:", rebuilt from its description, so the
// board's tests see exactly the calls the instrument makes (without the engine's waits).
#include "platform/Device.h"

#include <cstdint>
#include <vector>

struct Acquisition {
    double rangeKm = 16.0;
    int wavelength = 1310;
    float pulseNs = 640.0f;
    float attenuationDb = 5.0f;
    int avgTime = 7;
    float invalidMetres = 0.0f;
};

// One word of a read pass: phase i, read index j, the FIFO position it came from and the word.
struct FifoRead {
    int phase;
    int index;
    int64_t position;
    uint32_t word;
};

class EnginePattern {
public:
    explicit EnginePattern(const Acquisition& acquisition);
    ~EnginePattern();
    EnginePattern(const EnginePattern&) = delete;
    EnginePattern& operator=(const EnginePattern&) = delete;

    bool IsOpen() const { return device_ != platform::INVALID_HANDLE_VALUE; }

    void Configure();
    void Arm();
    void Flush();
    void ShotGroup();
    // Adds one pass of the FIFO into Sums(); with a log, every read is recorded.
    void Read(std::vector<FifoRead>* log = nullptr);
    // Arm, flush, clear the sums, k x average time shot groups, one read.
    void RunAveraging(std::vector<FifoRead>* log = nullptr);

    // Divide, trim, smooth; the noise mean of the 2000 noise points.
    std::vector<uint32_t> Averaged() const;
    static uint32_t NoiseMean(const std::vector<uint32_t>& averaged, uint32_t dotNum);
    // The level conversion of version 0: 10000 x log10(x - mean), 0 at or below the mean.
    std::vector<uint32_t> Levels() const;

    const std::vector<uint32_t>& Sums() const { return sums_; }
    uint32_t DotNum() const { return dotNum_; }
    int Phases() const { return phases_; }
    int PhaseStep() const { return phaseStep_; }
    int WordsPerPhase() const { return wordsPerPhase_; }
    int ShotLength() const { return shotLength_; }
    int GroupsPerCycle() const { return groupsPerCycle_; }
    int InvalidWords() const { return invalidWords_; }
    static constexpr uint32_t kOffsetDotNum = 2000;
    // True metres of fibre per trace point at a group index.
    double MetresPerPoint(double index) const { return 7.8125 * 1.5 / index / phases_; }

private:
    void Write(uint32_t reg, uint16_t value);
    uint32_t ReadWord();
    uint16_t PulseCode() const;

    Acquisition a_;
    platform::DeviceHandle device_;
    uint16_t control_ = 0, mode_ = 0, attenuation_ = 0, pulse_ = 0;
    uint32_t dotNum_ = 0;
    int shotLength_ = 0, phases_ = 1, phaseStep_ = 0, wordsPerPhase_ = 18000, shift_ = 0,
        groupsPerCycle_ = 64;
    int m_ = 0, invalidDots_ = 0, invalidWords_ = 0;
    std::vector<uint32_t> sums_;
};
