#include "tools/otdrtool/Tool.h"

#include "platform/EmbeddedFile.h"

#include <cstdio>
#include <string>
#include <vector>

PLATFORM_EMBEDDED_FILE(delivered_config)
PLATFORM_EMBEDDED_FILE(delivered_language_en)
PLATFORM_EMBEDDED_FILE(delivered_language_ch)

int main(int argc, char** argv) {
    const DeliveredTexts delivered = {delivered_config(), delivered_language_en(), delivered_language_ch()};
    std::string out, err;
    const int status = RunOtdrtool(std::vector<std::string>(argv + 1, argv + argc), delivered, out, err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
