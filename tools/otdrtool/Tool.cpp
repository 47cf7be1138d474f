#include "tools/otdrtool/Tool.h"

#include "tools/otdrtool/IniCommand.h"
#include "tools/otdrtool/MeasureCommand.h"
#include "tools/otdrtool/Options.h"
#include "tools/otdrtool/SorCommands.h"
#include "tools/otdrtool/TraceCommands.h"
#include "tools/otdrtool/VersionCommand.h"

#include "instrument/config/Provisioning.h"

#include "platform/EmbeddedFile.h"
#include "platform/Files.h"

#include "shared/fileio/HostFiles.h"

#include <algorithm>

PLATFORM_EMBEDDED_FILE(delivered_scenario_built_in)
PLATFORM_EMBEDDED_FILE(delivered_scenario_terminated_end)
PLATFORM_EMBEDDED_FILE(delivered_scenario_long_haul)
PLATFORM_EMBEDDED_FILE(delivered_scenario_patch_link)
PLATFORM_EMBEDDED_FILE(delivered_scenario_bend_1550)
PLATFORM_EMBEDDED_FILE(delivered_scenario_many_connectors)
PLATFORM_EMBEDDED_FILE(delivered_help_ch)
PLATFORM_EMBEDDED_FILE(delivered_help_en)

namespace {

constexpr options::Positional kProvisionArguments[] = {
    {.name = "ROOT", .noun = "device root", .help = "the host folder standing for the instrument's root"},
};
const options::Command kProvisionCommand = {
    .name = "provision",
    .summary = "install the instrument program and put the delivered settings, language files, help pages "
               "and scenarios into a device root, keeping those it has",
    .positionals = kProvisionArguments,
};

constexpr options::Positional kToolArguments[] = {
    {.name = "COMMAND", .noun = "command", .help = "one of the commands below"},
    {.name = "ARGUMENTS",
     .noun = "arguments",
     .help = "its arguments: otdrtool COMMAND --help lists them",
     .many = true,
     .optional = true},
};
const options::Command kTool = {
    .name = "",
    .summary = "the instrument's companion on a PC: trace files, INI files and headless measuring",
    .positionals = kToolArguments,
    .optionsFirst = true, // what follows the command is the command's
};

using Runner = int (*)(const std::vector<std::string>&, const DeliveredTexts&, std::string&, std::string&);

int Provision(const std::vector<std::string>& args, const DeliveredTexts& delivered, std::string& out,
              std::string& err) {
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kProvisionCommand, args, parsed, out, err, status))
        return status;
    // The simulated links go beside the flash disk, where the board looks for "scenario.txt".
    const std::string scenarios = "\\scenarios";
    std::vector<DeliveredFile> files = {
        {"config.ini", delivered.config},
        {"languageEN.ini", delivered.languageEn},
        {"languageCH.ini", delivered.languageCh},
        {"HELP_OTDR.htm", delivered_help_ch()},
        {"HELP_OTDR_En.htm", delivered_help_en()},
        {"built-in.txt", delivered_scenario_built_in(), scenarios},
        {"terminated-end.txt", delivered_scenario_terminated_end(), scenarios},
        {"long-haul.txt", delivered_scenario_long_haul(), scenarios},
        {"patch-link.txt", delivered_scenario_patch_link(), scenarios},
        {"bend-1550.txt", delivered_scenario_bend_1550(), scenarios},
        {"many-connectors.txt", delivered_scenario_many_connectors(), scenarios},
    };
    // Without the program the data files are still provisioned, and the run fails.
    std::vector<uint8_t> program;
    const fileio::ReadResult read =
        delivered.instrumentProgram.empty()
            ? fileio::ReadResult::Missing
            : fileio::ReadRegularFile(delivered.instrumentProgram, program, platform::kLargestFileBytes);
    if (read == fileio::ReadResult::Ok)
        files.push_back({"Lumetra.exe", program, "\\NandFlash", DeliveredFile::Kind::Program});
    const bool written = ProvisionDeviceRoot(parsed.arguments[0], files, out);
    if (read != fileio::ReadResult::Ok)
        err = "otdrtool provision: cannot install the instrument program " +
              (delivered.instrumentProgram.empty() ? std::string("(none beside otdrtool)")
                                                   : delivered.instrumentProgram.string()) +
              ": " + fileio::Describe(read) + "\n";
    if (!written)
        err += "otdrtool provision: some files could not be written\n";
    return written && read == fileio::ReadResult::Ok ? 0 : 1;
}

struct Entry {
    const options::Command& command;
    Runner run;
};

const Entry kCommands[] = {
    {kIniCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                     auto& err) { return RunIniCommand(args, out, err); }},
    {kProvisionCommand, Provision},
    {kInfoCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                      auto& err) { return RunInfoCommand(args, out, err); }},
    {kAnalyseCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                         auto& err) { return RunAnalyseCommand(args, out, err); }},
    {kExportCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                        auto& err) { return RunExportCommand(args, out, err); }},
    {kImportCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                        auto& err) { return RunImportCommand(args, out, err); }},
    {kMeasureCommand, [](const auto& args, const DeliveredTexts& delivered, auto& out,
                         auto& err) { return RunMeasureCommand(args, delivered.languageEn, out, err); }},
    {kVersionCommand, [](const auto& args, const DeliveredTexts&, auto& out,
                         auto& err) { return RunVersionCommand(args, out, err); }},
};

std::string ToolHelp() {
    size_t width = 0;
    for (const Entry& entry : kCommands)
        width = std::max(width, std::string(entry.command.name).size());
    std::string text = options::Help(kTool) + "\ncommands:\n";
    for (const Entry& entry : kCommands) {
        const std::string name = entry.command.name;
        text += "  " + name + std::string(width - name.size() + 2, ' ') + entry.command.summary + "\n";
    }
    return text;
}

} // namespace

int RunOtdrtool(const std::vector<std::string>& args, const DeliveredTexts& delivered, std::string& out,
                std::string& err) {
    const options::Parsed parsed = options::Parse(kTool, args);
    if (parsed.help) {
        out = ToolHelp();
        return 0;
    }
    if (parsed.error != options::UsageError::None) {
        err = options::Failure(kTool, parsed.error, parsed.about);
        return 2;
    }
    const std::string& name = parsed.arguments.front();
    const std::vector<std::string> rest(parsed.arguments.begin() + 1, parsed.arguments.end());
    for (const Entry& entry : kCommands)
        if (name == entry.command.name)
            return entry.run(rest, delivered, out, err);
    err = options::Failure(kTool, options::UsageError::UnknownCommand, name);
    return 2;
}
