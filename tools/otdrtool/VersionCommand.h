#pragma once
#include "tools/otdrtool/Options.h"

#include <string>
#include <vector>

extern const options::Command kVersionCommand;

// otdrtool version FILE: the product name and version of a program file, as the updater reads them.
// 0 printed, 1 when the file cannot be read or has no version block, 2 for bad usage.
int RunVersionCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
