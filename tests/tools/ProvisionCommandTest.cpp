#include "tools/otdrtool/Tool.h"

#include "tests/support/TempRoot.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int Provision(const std::filesystem::path& root, std::string& out) {
    std::string err;
    return RunOtdrtool({"provision", root.string()}, DeliveredTexts{}, out, err);
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

} // namespace
