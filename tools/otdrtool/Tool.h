#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// The instrument's files built into otdrtool, UTF-16LE as delivered.
struct DeliveredTexts {
    std::span<const uint8_t> config;
    std::span<const uint8_t> languageEn;
    std::span<const uint8_t> languageCh;
    // The instrument program that "provision" installs; empty when there is none.
    std::filesystem::path instrumentProgram;
};

// otdrtool COMMAND [ARGUMENTS...]: runs the command named first and returns its exit status; bad usage
// is 2, --help prints to out and is 0.
int RunOtdrtool(const std::vector<std::string>& args, const DeliveredTexts& delivered, std::string& out,
                std::string& err);
