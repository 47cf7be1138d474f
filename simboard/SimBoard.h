#pragma once
#include "simboard/AcquisitionBoard.h"
#include "simboard/Scenario.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace simboard {

// The state of the simulated instrument hardware behind "OTR1:", "POF1:" and "BAT1:", visible to
// tests, demos and the front end.
class SimBoard {
public:
    static SimBoard& Instance();

    bool MeasuringSectionOn() const { return measuringSectionOn_; }
    bool LightOn() const { return lightOn_; }
    bool PoweredOff() const { return poweredOff_; }
    uint8_t BatteryLevel() const { return batteryLevel_; }
    void SetBatteryLevel(uint8_t level) { batteryLevel_ = level; }

    // What switching the instrument off does to the running program; without one, the board only
    // records that it is off.
    void SetPowerOffHandler(std::function<void()> handler);

    // Calls per device and control code ("POF1:", 2), counted whether they succeeded or not.
    uint64_t Calls(const std::string& device, uint32_t code) const;
    uint16_t Register(uint32_t reg) const;
    uint64_t RegisterWrites(uint32_t reg) const;
    std::map<uint32_t, uint64_t> RegisterWriteCounts() const;
    // The word the next read returns; -1 after leaving read mode, until the next advance.
    int64_t FifoPosition() const;
    uint64_t FifoReads() const;
    // The phase records since the last arm, in FIFO order, and a word of them without reading it.
    std::vector<PhaseRecord> Records() const;
    uint32_t PeekFifo(int64_t position) const;

    // The fibre behind the front panel. A scenario set here wins until ClearScenario(); otherwise every
    // open of "OTR1:" takes the file named by LUMETRA_SCENARIO, else "scenario.txt" in the device root,
    // else the built-in link. A file that cannot be used leaves a debug line and the built-in link.
    bool SetScenario(const Scenario& scenario, std::string& error);
    void ClearScenario();
    Scenario CurrentScenario() const;
    // "built-in", "set" or the path of the scenario file in use.
    std::string ScenarioSource() const;
    void SetNoiseSeed(uint64_t seed);

    // Back to a switched-on instrument with a full battery, dark light, no counts, the built-in
    // scenario and the default noise seed.
    void Reset();

    // Driver side.
    void CountCall(const std::string& device, uint32_t code);
    void CountOtdrCall(uint32_t code);
    void ReloadScenario();
    void SetMeasuringSection(bool on);
    void SetLight(bool on) { lightOn_ = on; }
    void PowerOff();
    void WriteRegister(uint32_t reg, uint16_t value);
    uint32_t ReadFifo();

private:
    SimBoard();

    std::atomic<bool> measuringSectionOn_{false};
    std::atomic<bool> lightOn_{false};
    std::atomic<bool> poweredOff_{false};
    std::atomic<uint8_t> batteryLevel_{255};

    mutable std::mutex mutex_;
    std::function<void()> powerOffHandler_;
    std::map<std::pair<std::string, uint32_t>, uint64_t> calls_;

    // "OTR1:" is called once per FIFO word: its own lock and counters keep that cheap.
    static constexpr uint32_t kCountedOtdrCodes = 32;
    std::array<std::atomic<uint64_t>, kCountedOtdrCodes> otdrCalls_{};
    mutable std::mutex otdrMutex_;
    AcquisitionBoard otdr_;
    std::optional<Scenario> setScenario_;
    std::string scenarioSource_ = "built-in";
};

// Registers the three simulated drivers with the platform's device registry.
void RegisterSimulatedBoard();

} // namespace simboard
