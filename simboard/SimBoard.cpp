#include "simboard/SimBoard.h"

#include "simboard/BatteryDevice.h"
#include "simboard/OtdrDevice.h"
#include "simboard/PowerDevice.h"

#include "platform/DebugOut.h"
#include "platform/Device.h"
#include "platform/DevicePath.h"

#include <cstdlib>
#include <system_error>

namespace simboard {
namespace {

constexpr const char* kOtdrDevice = "OTR1:";

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
    if (device == kOtdrDevice && code < kCountedOtdrCodes)
        return otdrCalls_[code];
    std::lock_guard lock(mutex_);
    const auto it = calls_.find({device, code});
    return it == calls_.end() ? 0 : it->second;
}

uint16_t SimBoard::Register(uint32_t reg) const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.Register(reg);
}

uint64_t SimBoard::RegisterWrites(uint32_t reg) const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.RegisterWrites(reg);
}

std::map<uint32_t, uint64_t> SimBoard::RegisterWriteCounts() const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.RegisterWriteCounts();
}

int64_t SimBoard::FifoPosition() const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.FifoPosition();
}

uint64_t SimBoard::FifoReads() const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.FifoReads();
}

std::vector<PhaseRecord> SimBoard::Records() const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.Records();
}

uint32_t SimBoard::PeekFifo(int64_t position) const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.PeekFifo(position);
}

bool SimBoard::SetScenario(const Scenario& scenario, std::string& error) {
    if (!ValidateScenario(scenario, error))
        return false;
    std::lock_guard lock(otdrMutex_);
    setScenario_ = scenario;
    scenarioSource_ = "set";
    otdr_.SetScenario(scenario);
    return true;
}

void SimBoard::ClearScenario() {
    {
        std::lock_guard lock(otdrMutex_);
        setScenario_.reset();
    }
    ReloadScenario();
}

Scenario SimBoard::CurrentScenario() const {
    std::lock_guard lock(otdrMutex_);
    return otdr_.CurrentScenario();
}

std::string SimBoard::ScenarioSource() const {
    std::lock_guard lock(otdrMutex_);
    return scenarioSource_;
}

void SimBoard::SetNoiseSeed(uint64_t seed) {
    std::lock_guard lock(otdrMutex_);
    otdr_.SetNoiseSeed(seed);
}

void SimBoard::ReloadScenario() {
    {
        std::lock_guard lock(otdrMutex_);
        if (setScenario_)
            return;
    }
    std::filesystem::path file;
    if (const char* named = std::getenv("LUMETRA_SCENARIO"); named && *named) {
        file = named;
    } else {
        std::error_code ec;
        // Whatever stands there is tried, so a folder or FIFO of that name is reported, not passed over.
        const std::filesystem::path inRoot = platform::HostPath("\\scenario.txt");
        if (std::filesystem::exists(inRoot, ec))
            file = inRoot;
    }
    Scenario scenario = DefaultScenario();
    std::string source = "built-in";
    if (!file.empty()) {
        Scenario loaded;
        std::string error;
        if (LoadScenario(file, loaded, error)) {
            scenario = std::move(loaded);
            source = file.string();
        } else {
            platform::DebugOut("Scenario not used, the built-in link instead: %s\r\n", error.c_str());
        }
    }
    std::lock_guard lock(otdrMutex_);
    if (setScenario_)
        return;
    otdr_.SetScenario(scenario);
    scenarioSource_ = source;
}

void SimBoard::Reset() {
    std::lock_guard lock(mutex_);
    measuringSectionOn_ = false;
    lightOn_ = false;
    poweredOff_ = false;
    batteryLevel_ = 255;
    calls_.clear();
    for (std::atomic<uint64_t>& count : otdrCalls_)
        count = 0;
    std::lock_guard otdrLock(otdrMutex_);
    otdr_.Reset();
    otdr_.SetScenario(DefaultScenario());
    setScenario_.reset();
    scenarioSource_ = "built-in";
}

void SimBoard::CountCall(const std::string& device, uint32_t code) {
    if (device == kOtdrDevice && code < kCountedOtdrCodes) {
        CountOtdrCall(code);
        return;
    }
    std::lock_guard lock(mutex_);
    ++calls_[{device, code}];
}

void SimBoard::CountOtdrCall(uint32_t code) {
    if (code < kCountedOtdrCodes) {
        otdrCalls_[code].fetch_add(1, std::memory_order_relaxed);
        return;
    }
    std::lock_guard lock(mutex_);
    ++calls_[{kOtdrDevice, code}];
}

void SimBoard::SetMeasuringSection(bool on) {
    std::lock_guard lock(otdrMutex_);
    measuringSectionOn_ = on;
    otdr_.SetSectionOn(on);
}

void SimBoard::PowerOff() {
    poweredOff_ = true;
    SetMeasuringSection(false);
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
    std::lock_guard lock(otdrMutex_);
    otdr_.WriteRegister(reg, value);
}

uint32_t SimBoard::ReadFifo() {
    std::lock_guard lock(otdrMutex_);
    return otdr_.ReadFifo();
}

void RegisterSimulatedBoard() {
    platform::RegisterDriver("OTR1:", [] { return std::make_unique<OtdrDevice>(); });
    platform::RegisterDriver("POF1:", [] { return std::make_unique<PowerDevice>(); });
    platform::RegisterDriver("BAT1:", [] { return std::make_unique<BatteryDevice>(); });
}

} // namespace simboard
