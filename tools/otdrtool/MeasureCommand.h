#pragma once
#include "tools/otdrtool/Options.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

extern const options::Command kMeasureCommand;

// otdrtool measure: one test through the acquisition engine against the simulated board, headless,
// written to a trace file. englishTexts is the English language file (UTF-16LE) whose messages a
// refused setting prints.
int RunMeasureCommand(const std::vector<std::string>& args, std::span<const uint8_t> englishTexts,
                      std::string& out, std::string& err);
