#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

struct DeliveredFile {
    std::string name; // in "\NandFlash"
    std::span<const uint8_t> bytes;
};

// Puts the delivered files into the flash disk of a device root, creating the folders it needs and
// leaving every file that exists untouched. Returns false when a file could not be written; the
// report names what was copied and what was kept.
bool ProvisionDeviceRoot(const std::filesystem::path& root, const std::vector<DeliveredFile>& files,
                         std::string& report);
