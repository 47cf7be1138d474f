#include "tools/otdrtool/IniCommand.h"
#include "tools/otdrtool/MeasureCommand.h"
#include "tools/otdrtool/Options.h"
#include "tools/otdrtool/SorCommands.h"
#include "tools/otdrtool/Tool.h"
#include "tools/otdrtool/TraceCommands.h"
#include "tools/otdrtool/VersionCommand.h"

#include "tests/support/Lines.h"
#include "tests/support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

Result Otdrtool(const std::vector<std::string>& args) {
    Result run;
    run.status = RunOtdrtool(args, DeliveredTexts{}, run.out, run.err);
    return run;
}

// Every command the tool offers, with its table ("provision" keeps its own inside the tool).
const std::vector<std::string> kCommandNames = {"ini",    "provision", "info",    "analyse",
                                                "export", "import",    "measure", "version"};

const std::vector<const options::Command*> kTables = {&kIniCommand,    &kInfoCommand,   &kAnalyseCommand,
                                                      &kExportCommand, &kImportCommand, &kMeasureCommand,
                                                      &kVersionCommand};

TEST(UsageTest, ToolHelpListsEveryCommandOnOneLine) {
    for (const char* help : {"--help", "-h"}) {
        SCOPED_TRACE(help);
        const Result run = Otdrtool({help});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "usage: otdrtool COMMAND [ARGUMENTS...]");
        const auto commands = std::find(lines.begin(), lines.end(), "commands:");
        ASSERT_NE(commands, lines.end()) << run.out;
        std::vector<std::string> listed;
        for (auto line = commands + 1; line != lines.end(); ++line) {
            std::istringstream words(*line);
            std::string name, summary;
            words >> name >> summary;
            EXPECT_FALSE(summary.empty()) << *line;
            listed.push_back(name);
        }
        EXPECT_EQ(listed, kCommandNames);
    }
    // After the command the help is the command's.
    EXPECT_EQ(Otdrtool({"--help", "info"}).out, Otdrtool({"-h"}).out);
    EXPECT_NE(Otdrtool({"info", "--help"}).out, Otdrtool({"-h"}).out);
}

TEST(UsageTest, EachCommandsHelpGivesItsUsageAndOptionsAndRunsNothing) {
    for (const std::string& name : kCommandNames) {
        SCOPED_TRACE(name);
        const Result help = Otdrtool({name, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind("usage: otdrtool " + name + " ", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("\n  -h, --help "), std::string::npos) << help.out;
        EXPECT_EQ(Otdrtool({name, "-h"}).out, help.out);
    }
    for (const options::Command* command : kTables) {
        SCOPED_TRACE(command->name);
        const std::string help = Otdrtool({command->name, "--help"}).out;
        EXPECT_EQ(help.rfind(options::UsageLine(*command), 0), 0u);
        for (const options::Option& option : command->options) {
            const std::string line = "\n  " + std::string(option.name) + (option.value ? " " : "");
            EXPECT_NE(help.find(line), std::string::npos) << option.name;
        }
    }
    // Usage lines fit a terminal, the long one wrapped under its start.
    for (const std::string& line : Lines(Otdrtool({"measure", "--help"}).out))
        EXPECT_LE(line.size(), 100u) << line;

    // Help outranks the rest of the line: nothing is measured, provisioned or read.
    TempRoot root;
    const std::string output = (root.Path() / "out.st").string();
    std::string out, err;
    EXPECT_EQ(RunMeasureCommand({"--fast", "-o", output, "--help"}, {}, out, err), 0);
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(Otdrtool({"provision", (root.Path() / "new").string(), "-h"}).status, 0);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "new"));
    const Result info = Otdrtool({"info", "--json", (root.Path() / "absent.st").string(), "--help"});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.err, "");
}

TEST(UsageTest, UsageErrorsReadTheSameInEveryCommand) {
    for (const std::string& name : kCommandNames) {
        SCOPED_TRACE(name);
        const Result run = Otdrtool({name, "--foo"});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], "otdrtool " + name + ": unknown option --foo");
        EXPECT_EQ(lines[1].rfind("usage: otdrtool " + name + " ", 0), 0u) << lines[1];
        // The help asked for anyway wins over the mistake.
        EXPECT_EQ(Otdrtool({name, "--foo", "--help"}).status, 0);
    }
    for (const options::Command* command : kTables) {
        const Result run = Otdrtool({command->name, "-x"});
        EXPECT_EQ(run.err, "otdrtool " + std::string(command->name) + ": unknown option -x\n" +
                               options::UsageLine(*command));
    }
    EXPECT_EQ(options::UsageLine(kInfoCommand), "usage: otdrtool info --json FILE...\n");
    EXPECT_EQ(options::UsageLine(kAnalyseCommand),
              "usage: otdrtool analyse [--json] [--threshold DB] FILE...\n");
    EXPECT_EQ(options::UsageLine(kExportCommand),
              "usage: otdrtool export [--csv] [--sor] [-o OUT.sor] FILE\n");
    EXPECT_EQ(options::UsageLine(kImportCommand), "usage: otdrtool import -o OUT.st [--range KM] FILE.sor\n");
    EXPECT_EQ(options::UsageLine(kIniCommand),
              "usage: otdrtool ini get|getint|set|setint FILE SECTION KEY VALUE\n");
}

TEST(UsageTest, MissingValuesArgumentsAndOptionsAreNamed) {
    struct Case {
        std::vector<std::string> args;
        std::string first;
    };
    const std::vector<Case> cases = {
        {{"measure", "-o", "x.st", "--range"}, "otdrtool measure: --range needs a value"},
        {{"measure", "--fast", "-o"}, "otdrtool measure: -o needs a value"},
        {{"analyse", "a.st", "--threshold"}, "otdrtool analyse: --threshold needs a value"},
        {{"measure", "--fast"}, "otdrtool measure: -o OUT.st is required"},
        {{"info", "a.st"}, "otdrtool info: --json is required"},
        {{"export", "a.st"}, "otdrtool export: give either --csv or --sor"},
        {{"export", "--sor", "a.st"}, "otdrtool export: --sor needs -o OUT.sor"},
        {{"export", "--csv", "a.st", "-o", "a.csv"},
         "otdrtool export: --csv prints to standard output; -o goes with --sor"},
        {{"import", "a.sor"}, "otdrtool import: -o OUT.st is required"},
        {{"import", "-o", "a.st"}, "otdrtool import: no SOR file given"},
        {{"info", "--json"}, "otdrtool info: no files given"},
        {{"analyse", "--json"}, "otdrtool analyse: no files given"},
        {{"export", "--csv"}, "otdrtool export: no file given"},
        {{"provision"}, "otdrtool provision: no device root given"},
        {{"ini"}, "otdrtool ini: no verb given"},
        {{"ini", "get", "a.ini", "config"}, "otdrtool ini: no key given"},
        {{"ini", "get", "a.ini", "config", "verno", "1", "2"}, "otdrtool ini: unexpected argument 2"},
        {{"export", "--csv", "a.st", "b.st"}, "otdrtool export: unexpected argument b.st"},
        {{"provision", "a", "b"}, "otdrtool provision: unexpected argument b"},
        {{"version"}, "otdrtool version: no program file given"},
        {{"version", "a", "b"}, "otdrtool version: unexpected argument b"},
        {{"measure", "stray", "-o", "x.st"}, "otdrtool measure: unexpected argument stray"},
        {{"ini", "remove", "a.ini", "s", "k", "v"}, "otdrtool ini: unknown verb remove"},
        {{}, "otdrtool: no command given"},
        {{"nosuch", "--help"}, "otdrtool: unknown command nosuch"},
        {{"--json", "info"}, "otdrtool: unknown option --json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const Result run = Otdrtool(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_GE(lines.size(), 2u) << run.err;
        EXPECT_EQ(lines[0], c.first);
        EXPECT_EQ(lines[1].rfind("usage: otdrtool", 0), 0u) << lines[1];
    }
    EXPECT_EQ(Otdrtool({}).err, "otdrtool: no command given\nusage: otdrtool COMMAND [ARGUMENTS...]\n");
}

} // namespace
