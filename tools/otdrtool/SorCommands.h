#pragma once
#include "tools/otdrtool/Options.h"

#include "shared/sor/SorFile.h"

#include <string>
#include <vector>

extern const options::Command kImportCommand;

// otdrtool import FILE.sor -o OUT.st [--range KM]: the SOR trace as an instrument trace file. 0 done,
// 1 when the file could not be read, converted or written, 2 for bad usage.
int RunImportCommand(const std::vector<std::string>& args, std::string& out, std::string& err);

// One line: the SOR file's format, parameters, checksum status and key events as a JSON object.
void AppendSorInfo(std::string& out, const sor::SorFile& file);
