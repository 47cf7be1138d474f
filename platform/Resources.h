#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

// The program's own resources, found by number and type as on the instrument.
void RegisterResource(int id, const std::string& type, std::span<const uint8_t> bytes);
std::optional<std::span<const uint8_t>> FindResource(int id, const std::string& type);

} // namespace platform
