#include "tools/otdrtool/Tool.h"

#include "platform/EmbeddedFile.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

PLATFORM_EMBEDDED_FILE(delivered_config)
PLATFORM_EMBEDDED_FILE(delivered_language_en)
PLATFORM_EMBEDDED_FILE(delivered_language_ch)

int main(int argc, char** argv) {
    // The instrument program is built beside the tool.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const DeliveredTexts delivered = {delivered_config(), delivered_language_en(), delivered_language_ch(),
                                      error ? std::filesystem::path() : self.parent_path() / "Lumetra"};
    std::string out, err;
    const int status = RunOtdrtool(std::vector<std::string>(argv + 1, argv + argc), delivered, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
