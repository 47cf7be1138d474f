#include "tools/otdrtool/Tool.h"

#include "tests/support/TempRoot.h"

#include "tools/otdrtool/VersionCommand.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The instrument program provisioning installs, and a version block's bytes for it.
std::string ProgramBytes(const std::string& version) {
    using namespace std::string_literals;
    return "program "s + version + " VS_VERSION_INFO\0\\StringFileInfo\\080403a8\\ProductName\0Lumetra\0"s +
           "\\StringFileInfo\\080403a8\\ProductVersion\0"s + version + "\0\0"s;
}

int Provision(const std::filesystem::path& root, std::string& out, std::string& err,
              const std::filesystem::path& program) {
    DeliveredTexts delivered;
    delivered.instrumentProgram = program;
    return RunOtdrtool({"provision", root.string()}, delivered, out, err);
}

int Provision(const std::filesystem::path& root, std::string& out) {
    const std::filesystem::path program = root.parent_path() / (root.filename().string() + "-Lumetra");
    std::ofstream(program, std::ios::binary) << ProgramBytes("1.0.0");
    std::string err;
    const int status = Provision(root, out, err, program);
    std::filesystem::remove(program);
    return status;
}

bool Executable(const std::filesystem::path& file) {
    return (std::filesystem::status(file).permissions() & std::filesystem::perms::owner_exec) !=
           std::filesystem::perms::none;
}

TEST(ProvisionCommandTest, PutsEveryShippedScenarioIntoTheRootsScenarioFolder) {
    TempRoot root;
    std::string out;
    ASSERT_EQ(Provision(root.Path(), out), 0) << out;
    int shipped = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SCENARIO_DIR)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        EXPECT_EQ(root.Read("scenarios/" + name), ReadHostFile(entry.path())) << "copied as shipped";
        EXPECT_NE(out.find("copied " + (root.Path() / "scenarios" / name).string()), std::string::npos)
            << out;
        ++shipped;
    }
    EXPECT_GE(shipped, 6);
    int provisioned = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root.Path() / "scenarios"))
        ++provisioned;
    EXPECT_EQ(provisioned, shipped) << "nothing but the shipped files";
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "scenario.txt")) << "the built-in link stays in use";

    // A scenario the user edited is kept at the next provisioning.
    root.Write("scenarios/long-haul.txt", "fibre 5 0.35 0.2 1.468\n");
    out.clear();
    ASSERT_EQ(Provision(root.Path(), out), 0) << out;
    EXPECT_EQ(root.Read("scenarios/long-haul.txt"), "fibre 5 0.35 0.2 1.468\n");
    EXPECT_NE(out.find("kept " + (root.Path() / "scenarios" / "long-haul.txt").string()), std::string::npos)
        << out;
}

TEST(ProvisionCommandTest, InstallsTheProgramBesideTheToolAndReplacesItOnlyWhenItsBytesDiffer) {
    TempRoot root, build;
    const std::filesystem::path program = build.Path() / "Lumetra";
    build.Write("Lumetra", ProgramBytes("1.0.0"));
    const std::filesystem::path installed = root.Path() / "NandFlash" / "Lumetra.exe";
    std::string out, err;
    ASSERT_EQ(Provision(root.Path(), out, err, program), 0) << err;
    EXPECT_EQ(ReadHostFile(installed), ProgramBytes("1.0.0"));
    EXPECT_TRUE(Executable(installed));
    for (const char* page : {"HELP_OTDR.htm", "HELP_OTDR_En.htm"}) {
        SCOPED_TRACE(page);
        EXPECT_EQ(ReadHostFile(root.Path() / "NandFlash" / page),
                  ReadHostFile(std::string(DATA_DIR) + "/help/" + page));
    }

    // The same program is kept, a rebuilt one replaces it; the user's settings and pages stay.
    out.clear();
    root.Write("NandFlash/HELP_OTDR_En.htm", "<p>the user's page</p>");
    root.Write("NandFlash/config.ini", "the user's settings");
    ASSERT_EQ(Provision(root.Path(), out, err, program), 0) << err;
    EXPECT_NE(out.find("kept " + installed.string()), std::string::npos) << out;
    build.Write("Lumetra", ProgramBytes("1.0.1"));
    out.clear();
    ASSERT_EQ(Provision(root.Path(), out, err, program), 0) << err;
    EXPECT_NE(out.find("replaced " + installed.string()), std::string::npos) << out;
    EXPECT_EQ(ReadHostFile(installed), ProgramBytes("1.0.1"));
    EXPECT_TRUE(Executable(installed));
    EXPECT_EQ(root.Read("NandFlash/HELP_OTDR_En.htm"), "<p>the user's page</p>");
    EXPECT_EQ(root.Read("NandFlash/config.ini"), "the user's settings");

    std::string version;
    EXPECT_EQ(RunVersionCommand({installed.string()}, version, err), 0) << err;
    EXPECT_EQ(version, "ProductName: Lumetra\nProductVersion: 1.0.1\n");
}

TEST(ProvisionCommandTest, WithoutTheProgramTheDataFilesStillGoInAndTheRunFails) {
    TempRoot root;
    std::string out, err;
    EXPECT_EQ(Provision(root.Path(), out, err, root.Path() / "absent" / "Lumetra"), 1);
    EXPECT_NE(err.find("otdrtool provision: cannot install the instrument program " +
                       (root.Path() / "absent" / "Lumetra").string() + ": no such file"),
              std::string::npos)
        << err;
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "NandFlash" / "Lumetra.exe"));
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "NandFlash" / "HELP_OTDR.htm"));
    EXPECT_TRUE(std::filesystem::exists(root.Path() / "scenarios" / "built-in.txt"));
}

TEST(VersionCommandTest, PrintsNameAndVersionOrSaysWhyNot) {
    TempRoot root;
    root.Write("with.exe", ProgramBytes("2.3.4"));
    root.Write("without.exe", "#!/bin/sh\nexit 0\n");
    std::string out, err;
    EXPECT_EQ(RunVersionCommand({(root.Path() / "with.exe").string()}, out, err), 0);
    EXPECT_EQ(out, "ProductName: Lumetra\nProductVersion: 2.3.4\n");
    out.clear();
    EXPECT_EQ(RunVersionCommand({(root.Path() / "without.exe").string()}, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "otdrtool version: " + (root.Path() / "without.exe").string() + ": no version block\n");
    EXPECT_EQ(RunVersionCommand({(root.Path() / "missing.exe").string()}, out, err), 1);
    EXPECT_EQ(err, "otdrtool version: " + (root.Path() / "missing.exe").string() + ": no such file\n");
}

} // namespace
