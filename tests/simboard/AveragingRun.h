#pragma once
// The instrument's averaging test run against the simulated "OTR1:", in virtual time, with what the
// board's tests look at.
#include "instrument/acquisition/AveragingTest.h"
#include "instrument/acquisition/SampleRing.h"
#include "instrument/acquisition/TestParameters.h"

#include "platform/Device.h"
#include "platform/Time.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct Acquisition {
    double rangeKm = 16.0;
    int wavelength = 1310;
    float pulseNs = 640.0f;
    float attenuationDb = 5.0f;
    int avgTime = 7;
    float invalidMetres = 0.0f;
    bool sectionOn = true; // "POF1:" code 6 before the test, as the test thread sends it
};

class AveragingRun {
public:
    explicit AveragingRun(const Acquisition& acquisition);
    ~AveragingRun();
    AveragingRun(const AveragingRun&) = delete;
    AveragingRun& operator=(const AveragingRun&) = delete;

    bool IsOpen() const { return otr_ != platform::INVALID_HANDLE_VALUE; }

    void Configure() { engine_.Configure(); }
    // The whole test: arm, flush, the shot groups of the average time, one read, the levels.
    void Run() { engine_.Run(0); }
    // Its steps one at a time.
    void Arm() { engine_.Arm(engine_.ShotLength()); }
    void Flush() { engine_.Flush(); }
    void ShotGroup() { engine_.ShotGroup(); }
    void Read() { engine_.Read(); }

    const std::vector<uint32_t>& Sums() const { return engine_.Sums(); }
    // Version 0's levels: 10000 x log10(x - noise mean), 0 at or below the mean.
    std::vector<uint32_t> Levels() const { return engine_.Result(); }
    uint32_t DotNum() const { return engine_.DotNum(); }
    uint32_t OffsetDotNum() const { return engine_.OffsetDotNum(); }
    int Phases() const { return engine_.Phases(); }
    int PhaseStep() const { return engine_.PhaseStep(); }
    int WordsPerPhase() const { return engine_.WordsPerPhase(); }
    int ShotLength() const { return static_cast<int>(engine_.ShotLength()); }
    int GroupsPerCycle() const { return engine_.GroupsPerCycle(); }
    int InvalidWords() const { return engine_.InvalidWords(); }
    // True metres of fibre per trace point at a group index.
    double MetresPerPoint(double index) const { return 7.8125 * 1.5 / index / Phases(); }

private:
    class Engine : public AveragingTest {
    public:
        using AveragingTest::AveragingTest;
        const std::vector<uint32_t>& Sums() const { return pSamAvg; }
        uint32_t OffsetDotNum() const { return m_iOffsetDotNum; }
        int Phases() const { return static_cast<int>(phases_); }
        int PhaseStep() const { return static_cast<int>(phaseStep_); }
        int WordsPerPhase() const { return static_cast<int>(wordsPerPhase_); }
        uint32_t ShotLength() const { return n_; }
        int GroupsPerCycle() const { return GroupsPerRound(); }
        int InvalidWords() const { return static_cast<int>(w_); }
    };

    static TestParameterTable Parameters(const Acquisition& acquisition);

    std::shared_ptr<platform::FastTime> time_ = std::make_shared<platform::FastTime>();
    TestParameterTable params_;
    TestWayPair way_;
    SampleRing ring_;
    std::atomic<int> stop_{0};
    platform::DeviceHandle otr_;
    Engine engine_;
};
