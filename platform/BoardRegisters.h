#pragma once
#include <cstdint>

// The registers of the acquisition board behind "OTR1:", written with OTDR_IOCTL_WRITE. One map for
// the engine that drives the board and the simulation that stands in for it, so the two cannot drift.
// Registers are 16 bits wide; a mask follows its register.
namespace platform::reg {

constexpr uint32_t kControl = 0x200;
constexpr uint16_t kReadMode = 0x02;   // leaving it rewinds the FIFO to just before word 0
constexpr uint16_t kShortRange = 0x04; // 16 km or less: the fast receiver
constexpr uint16_t kArm = 0x08;        // makes the next kShotGroup strobe an arm

// Role unknown: the engine writes 8 here once per configuration.
constexpr uint32_t kConfigEight = 0x210;

constexpr uint32_t kPulse = 0x220;
constexpr uint16_t kPulseCode = 0x87; // the width; 0x80 means 10 ns whatever the low bits say
constexpr uint16_t k1310 = 0x10;      // clear: 1550 nm

// Strobe: an arm with kControl's kArm set, else one shot group into the record of kPhase.
constexpr uint32_t kShotGroup = 0x250;

// Role unknown: the engine writes 0 here first thing in every arm.
constexpr uint32_t kArmZero = 0x280;

// Role unknown: the engine writes 0 here once per configuration.
constexpr uint32_t kConfigZero = 0x290;

// Role unknown: the engine's mode word, written three times per configuration. The engine only ever
// clears its bits (0x08 and 0x01, then 0x02), so it writes 0.
constexpr uint32_t kMode = 0x2B0;

// 0x8000 minus the words of a record, taken at the record's first shot group.
constexpr uint32_t kShotLength = 0x2C0;

// Strobe: moves the FIFO read position on by one word.
constexpr uint32_t kFifoAdvance = 0x2D0;

// Role unknown: the engine writes 62 here once per configuration.
constexpr uint32_t kConfigSixtyTwo = 0x2E0;

// 17: 0 dB, 10: 5 dB, 21: 10 dB.
constexpr uint32_t kAttenuation = 0x300;

// Selects the record a shot group adds into, and with it the record's time delay.
constexpr uint32_t kPhase = 0x310;

} // namespace platform::reg
