#pragma once
#include "tools/otdrtool/Options.h"

#include <string>
#include <vector>

// Trace-file commands, reading ".st" files as the PC program does and ".sor" files by their content. Each
// returns the exit status: 0 done, 1 when a file was rejected (its reason in err, the other files still
// handled), 2 for bad usage.

extern const options::Command kInfoCommand;
extern const options::Command kAnalyseCommand;
extern const options::Command kExportCommand;

// otdrtool info --json FILE...: sample count and stored words of each file; a SOR file's parameters,
// checksum status and key events.
int RunInfoCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
// otdrtool analyse [--json] FILE... [--threshold DB]: the event analysis of each file.
int RunAnalyseCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
// otdrtool export --csv FILE: distance and level of every sample. otdrtool export --sor FILE -o OUT.sor:
// the trace, its parameters and the events of its analysis as a SOR file.
int RunExportCommand(const std::vector<std::string>& args, std::string& out, std::string& err);
