#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

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
    uint64_t FifoPosition() const { return fifoPosition_; }

    // Back to a switched-on instrument with a full battery, dark light and no counts.
    void Reset();

    // Driver side.
    void CountCall(const std::string& device, uint32_t code);
    void SetMeasuringSection(bool on) { measuringSectionOn_ = on; }
    void SetLight(bool on) { lightOn_ = on; }
    void PowerOff();
    void WriteRegister(uint32_t reg, uint16_t value);
    uint32_t ReadFifo() const;

private:
    SimBoard();

    std::atomic<bool> measuringSectionOn_{false};
    std::atomic<bool> lightOn_{false};
    std::atomic<bool> poweredOff_{false};
    std::atomic<uint8_t> batteryLevel_{255};
    std::atomic<uint64_t> fifoPosition_{0};

    mutable std::mutex mutex_;
    std::function<void()> powerOffHandler_;
    std::map<std::pair<std::string, uint32_t>, uint64_t> calls_;
    std::map<uint32_t, uint16_t> registers_;
    std::map<uint32_t, uint64_t> registerWrites_;
};

// Registers the three simulated drivers with the platform's device registry.
void RegisterSimulatedBoard();

} // namespace simboard
