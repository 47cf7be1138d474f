#include "simboard/SimBoard.h"

#include "simboard/BatteryDevice.h"
#include "simboard/OtdrDevice.h"
#include "simboard/PowerDevice.h"

#include "platform/Device.h"

#include <cstdlib>

namespace simboard {
namespace {

// Register whose write moves the FIFO on by one word.
constexpr uint32_t kFifoAdvanceRegister = 0x2D0;

uint8_t InitialBatteryLevel() {
    const char* text = std::getenv("LUMETRA_BATTERY");
    if (!text || !*text)
        return 255;
    char* end = nullptr;
    const long level = std::strtol(text, &end, 10);
    return (*end == '\0' && level >= 0 && level <= 255) ? static_cast<uint8_t>(level) : 255;
}

} // namespace

SimBoard& SimBoard::Instance() {
    // Never destroyed: the drivers' threads may still call it while the process ends.
    static auto* board = new SimBoard;
    return *board;
}

SimBoard::SimBoard() : batteryLevel_(InitialBatteryLevel()) {}

void SimBoard::SetPowerOffHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    powerOffHandler_ = std::move(handler);
}

uint64_t SimBoard::Calls(const std::string& device, uint32_t code) const {
    std::lock_guard lock(mutex_);
    const auto it = calls_.find({device, code});
    return it == calls_.end() ? 0 : it->second;
}

uint16_t SimBoard::Register(uint32_t reg) const {
    std::lock_guard lock(mutex_);
    const auto it = registers_.find(reg);
    return it == registers_.end() ? 0 : it->second;
}

uint64_t SimBoard::RegisterWrites(uint32_t reg) const {
    std::lock_guard lock(mutex_);
    const auto it = registerWrites_.find(reg);
    return it == registerWrites_.end() ? 0 : it->second;
}

std::map<uint32_t, uint64_t> SimBoard::RegisterWriteCounts() const {
    std::lock_guard lock(mutex_);
    return registerWrites_;
}

void SimBoard::Reset() {
    std::lock_guard lock(mutex_);
    measuringSectionOn_ = false;
    lightOn_ = false;
    poweredOff_ = false;
    batteryLevel_ = 255;
    fifoPosition_ = 0;
    calls_.clear();
    registers_.clear();
    registerWrites_.clear();
}

void SimBoard::CountCall(const std::string& device, uint32_t code) {
    std::lock_guard lock(mutex_);
    ++calls_[{device, code}];
}

void SimBoard::PowerOff() {
    poweredOff_ = true;
    measuringSectionOn_ = false;
    lightOn_ = false;
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        handler = powerOffHandler_;
    }
    if (handler)
        handler();
}

void SimBoard::WriteRegister(uint32_t reg, uint16_t value) {
    std::lock_guard lock(mutex_);
    registers_[reg] = value;
    ++registerWrites_[reg];
    if (reg == kFifoAdvanceRegister)
        ++fifoPosition_;
}

uint32_t SimBoard::ReadFifo() const {
    return 0;
}

void RegisterSimulatedBoard() {
    platform::RegisterDriver("OTR1:", [] { return std::make_unique<OtdrDevice>(); });
    platform::RegisterDriver("POF1:", [] { return std::make_unique<PowerDevice>(); });
    platform::RegisterDriver("BAT1:", [] { return std::make_unique<BatteryDevice>(); });
}

} // namespace simboard
