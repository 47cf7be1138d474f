#pragma once
#include <string>

namespace platform {

enum class CalibrationResult {
    Done,          // the calibration program ran and ended well
    NoTouchScreen, // this machine has no touch screen to calibrate
    Failed,        // the program could not start or ended with an error
};

// The command that calibrates the touch screen, or empty when the machine has none: `LUMETRA_CALIBRATE`
// when set (empty: none), otherwise tslib's `ts_calibrate` when it is installed and `TSLIB_TSDEVICE`
// names a device that exists.
std::string TouchCalibrationCommand();

// Runs the calibration and waits until it ends; the screen is the calibration program's meanwhile.
CalibrationResult CalibrateTouchScreen();

} // namespace platform
