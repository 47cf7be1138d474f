#pragma once
#include "instrument/acquisition/TestParameters.h"

#include "platform/Device.h"

#include <atomic>
#include <cstdint>
#include <vector>

class SampleRing;

// What a test takes from the program besides its parameters.
struct EngineContext {
    SampleRing& ring;
    std::atomic<int>& stopRealtimeRequest;
    float invalidMeter = 0.0f;
    int versionNumber = 1;
};

// One test's drive of the acquisition board: configure, arm, flush, shot groups, one read of the FIFO
// into the sums, and the post-processing into a trace of level units. The derived classes are the
// three test procedures.
class AcquisitionEngine {
public:
    AcquisitionEngine(platform::DeviceHandle otr, TestParameterTable& params, TestWayPair& way,
                      const EngineContext& context);
    virtual ~AcquisitionEngine() = default;
    virtual void Arm(uint32_t n);
    virtual void Run(int unused) = 0;

    void Configure();
    void Flush();
    void ShotGroup();
    void Read();
    // Divides the sums by the divisor, trims, smooths, takes the noise mean and converts to levels by
    // the rule (0 or 1; any other leaves the values); hands the trace off when asked.
    void PostProcess(int32_t divisor, int levelRule, bool handOff);

    uint32_t DotNum() const { return m_iDotNum; }
    uint32_t InvalidDotInFifo() const { return m_iInvalidDotInFIFO; }
    uint32_t NoiseMean() const { return noiseMean_; }
    // The result of the last post-processing, m_iDotNum levels.
    std::vector<uint32_t> Result() const;

protected:
    void Write(uint32_t reg, uint16_t value);
    float Range() const { return params_.Value(kRangeItem); }
    // Shot groups per averaging round: 16, 32 or 64 by range.
    int GroupsPerRound() const;
    // The average time as a count of rounds; 0 counts as 1, so a test always fires and never divides by 0.
    int Rounds() const { return way_.m_iAvgTime > 0 ? way_.m_iAvgTime : 1; }
    void ClearSums();
    // An averaging acquisition: arm, flush, cleared sums, the rounds of shot groups, one read.
    void Acquire();

    platform::DeviceHandle otr_;
    TestParameterTable& params_;
    TestWayPair& way_;
    EngineContext context_;

    uint16_t control_ = 0; // reg::kControl
    uint16_t mode_ = 0;    // reg::kMode
    uint16_t attenuationCode_ = 0;
    uint16_t pulse_ = 0; // reg::kPulse
    float invalid1310_;
    float invalid1550_;
    int32_t M_ = 0;

    uint32_t n_ = 0;
    uint32_t m_iDotNum = 0;
    uint32_t m_iOffsetDotNum = 2000;
    uint32_t m_iInvalidDotInFIFO = 0;
    uint32_t w_ = 0;
    uint32_t phases_ = 1;
    uint32_t phaseStep_ = 0;
    uint32_t wordsPerPhase_ = 0;
    uint32_t shift_ = 0;

    std::vector<uint32_t> pSamAvg;
    std::vector<int32_t> pSamAvgOld;
    uint32_t noiseMean_ = 0;
    uint32_t randomState_ = 1;
};
