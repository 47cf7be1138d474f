#pragma once
#include "platform/Device.h"

#include <cstdint>

// The instrument's calls on its three drivers, with the debug lines each failure leaves.
namespace driver {

// Opens "OTR1:", "POF1:" or "BAT1:" for reading and writing; on failure writes the two open-failure
// lines and returns INVALID_HANDLE_VALUE.
platform::DeviceHandle Open(const char* name);
// The two lines of a device that could not be opened, with the error the open gave.
void ReportOpenFailure(uint32_t error);

// "POF1:" code 1, opened afresh; 1 on success, 0 with "OTDR_IOCTL_WRITE_LOW failed!" otherwise.
int PowerOff();
// "POF1:" codes 6 and 5, opened afresh; the result is not used.
void MeasuringSectionOn();
void MeasuringSectionOff();
// The fault-locator light on the VFL thread's handle; both report success to their caller either way.
void VflOn(platform::DeviceHandle pof);
void VflOff(platform::DeviceHandle pof);
// "OTR1:" register write and FIFO read: 0 or the word, -1 (all bits set for the read) on failure,
// with the failure line.
int RegisterWrite(platform::DeviceHandle otr, uint32_t reg, uint16_t value);
uint32_t FifoRead(platform::DeviceHandle otr);
// "BAT1:" code 1: the level from the first byte of the output; false after the failure line.
bool ReadBatteryLevel(platform::DeviceHandle bat, uint8_t& level);

} // namespace driver
