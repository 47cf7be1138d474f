#pragma once
#include "tools/otdrtool/Options.h"

#include <string>
#include <vector>

extern const options::Command kIniCommand;

// otdrtool ini get|getint|set|setint FILE SECTION KEY VALUE: the instrument's INI store from a PC.
int RunIniCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
