#pragma once
#include <string_view>

namespace platform {

// Starts the program file at an instrument path without arguments and without waiting for it.
// True when the program was started.
bool StartProgram(std::string_view devicePath);

} // namespace platform
