#pragma once
#include "tests/support/TempRoot.h"

#include <cstdint>
#include <string>
#include <vector>

// Current test parameters of a 16 km, 1310 nm, 320 ns averaging test, the ones TraceSamples fit.
void UseParameters16km();
// The samples of a 16 km trace, different for each seed.
std::vector<uint32_t> TraceSamples(uint32_t seed);
// The bytes of a valid 16 km trace file (65600 bytes) of those samples.
std::string TraceFileBytes(uint32_t seed);
// Writes trace files into a folder of the device root ("NandFlash", "Hard Disk/OTDRDATA").
void WriteTraceFiles(const TempRoot& root, const std::string& folder, const std::vector<std::string>& names,
                     uint32_t seed = 1);
// The names in a folder of the device root, hidden ones too, sorted.
std::vector<std::string> Names(const TempRoot& root, const std::string& folder);
// Sets a file's last write to noon of a local date.
void SetDate(const TempRoot& root, const std::string& file, int year, int month, int day);
