#pragma once
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

struct DeliveredFile {
    // Data is the user's once delivered; a program is the build's.
    enum class Kind { Data, Program };
    std::string name; // in `folder`
    std::span<const uint8_t> bytes;
    std::string folder = "\\NandFlash"; // a folder of the device root
    Kind kind = Kind::Data;
};

// Puts the delivered files into their folders of a device root, creating the folders it needs. A data
// file that exists is left untouched; a program is replaced, executable, when its bytes differ. Returns false
// when a file could not be written; the report names what was copied and what was kept.
bool ProvisionDeviceRoot(const std::filesystem::path& root, const std::vector<DeliveredFile>& files,
                         std::string& report);
