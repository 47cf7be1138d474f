#pragma once
#include "shared/sor/SorFile.h"
#include "shared/tracefile/TraceFile.h"

#include <string>

// True for a name ending in ".sor", in any letter case: such files are read as SOR by their content.
bool IsSorName(const std::string& file);

// Reads a SOR file for a command; false with "otdrtool COMMAND: FILE: reason" added to err.
bool LoadSor(const char* command, const std::string& file, sor::SorFile& sorFile, std::string& err);

// Reads a trace as the PC program does, a SOR file as its import onto the instrument's grid; false with
// "otdrtool COMMAND: FILE: reason" added to err.
bool LoadTrace(const char* command, const std::string& file, tracefile::TraceFileContents& contents,
               std::string& err);
