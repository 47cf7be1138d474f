#include "tools/otdrtool/IniCommand.h"
#include "tools/otdrtool/MeasureCommand.h"
#include "tools/otdrtool/TraceCommands.h"

#include "instrument/config/Provisioning.h"

#include "platform/EmbeddedFile.h"

#include <cstdio>
#include <string>
#include <vector>

PLATFORM_EMBEDDED_FILE(delivered_config)
PLATFORM_EMBEDDED_FILE(delivered_language_en)
PLATFORM_EMBEDDED_FILE(delivered_language_ch)

namespace {

constexpr const char* kUsage = "usage: otdrtool ini get|getint|set|setint FILE SECTION KEY VALUE\n"
                               "       otdrtool provision ROOT\n"
                               "       otdrtool info --json FILE...\n"
                               "       otdrtool analyse [--json] FILE... [--threshold DB]\n"
                               "       otdrtool export --csv FILE\n"
                               "       otdrtool measure [OPTIONS] -o OUT.st\n";

int Provision(const std::vector<std::string>& args, std::string& out, std::string& err) {
    if (args.size() != 1) {
        err = "usage: otdrtool provision ROOT\n";
        return 2;
    }
    const std::vector<DeliveredFile> files = {
        {"config.ini", delivered_config()},
        {"languageEN.ini", delivered_language_en()},
        {"languageCH.ini", delivered_language_ch()},
    };
    if (ProvisionDeviceRoot(args[0], files, out))
        return 0;
    err = "otdrtool provision: some files could not be written\n";
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    std::string out, err;
    int status = 2;
    if (command == "ini")
        status = RunIniCommand(args, out, err);
    else if (command == "provision")
        status = Provision(args, out, err);
    else if (command == "info")
        status = RunInfoCommand(args, out, err);
    else if (command == "analyse")
        status = RunAnalyseCommand(args, out, err);
    else if (command == "measure")
        status = RunMeasureCommand(args, delivered_language_en(), out, err);
    else if (command == "export")
        status = RunExportCommand(args, out, err);
    else
        err = kUsage;
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    return status;
}
