#include "instrument/config/Provisioning.h"

#include "platform/DevicePath.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdint>
#include <vector>

bool ProvisionDeviceRoot(const std::filesystem::path& root, const std::vector<DeliveredFile>& files,
                         std::string& report) {
    std::error_code error;
    std::filesystem::create_directories(root, error);
    const std::filesystem::path previous = platform::DeviceRoot();
    platform::SetDeviceRoot(root);
    bool ok = !error;
    for (const DeliveredFile& file : files) {
        if (!platform::IsDirectory(file.folder) && !platform::CreateDirectory(file.folder)) {
            report += "cannot create " + platform::HostPath(file.folder).string() + "\n";
            ok = false;
            continue;
        }
        const std::string path = file.folder + "\\" + file.name;
        const bool program = file.kind == DeliveredFile::Kind::Program;
        std::vector<uint8_t> installed;
        const bool exists = platform::PathExists(path);
        if (exists && (!program || (platform::ReadWholeFile(path, installed) &&
                                    std::ranges::equal(installed, file.bytes)))) {
            report += "kept " + platform::HostPath(path).string() + "\n";
        } else if (platform::WriteWholeFile(path, file.bytes, program)) {
            report += (exists ? "replaced " : "copied ") + platform::HostPath(path).string() + "\n";
        } else {
            report += "cannot write " + platform::HostPath(path).string() + "\n";
            ok = false;
        }
    }
    platform::SetDeviceRoot(previous);
    return ok;
}
