#pragma once
#include <string_view>

namespace platform {

// Starts the program file at an instrument path without arguments and without waiting for it.
// True when the program was started; a path that leads out of the device root starts nothing.
bool StartProgram(std::string_view devicePath);

} // namespace platform
