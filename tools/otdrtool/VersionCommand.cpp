#include "tools/otdrtool/VersionCommand.h"

#include "updater/UpdateSteps.h"

#include "platform/Files.h"
#include "shared/fileio/HostFiles.h"

namespace {

constexpr options::Positional kProgram[] = {
    {.name = "FILE", .noun = "program file", .help = "a program file, such as NandFlash/Lumetra.exe"},
};

} // namespace

const options::Command kVersionCommand = {
    .name = "version",
    .summary = "print the product name and version of a program file",
    .positionals = kProgram,
};

int RunVersionCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kVersionCommand, args, parsed, out, err, status))
        return status;
    const std::string& file = parsed.arguments[0];
    std::vector<uint8_t> bytes;
    if (const fileio::ReadResult read = fileio::ReadRegularFile(file, bytes, platform::kLargestFileBytes);
        read != fileio::ReadResult::Ok) {
        err = "otdrtool version: " + file + ": " + fileio::Describe(read) + "\n";
        return 1;
    }
    const updater::ProductInfo info =
        updater::ProductInfoOf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (info.name.empty() && info.version.empty()) {
        err = "otdrtool version: " + file + ": no version block\n";
        return 1;
    }
    out = "ProductName: " + info.name + "\nProductVersion: " + info.version + "\n";
    return 0;
}
