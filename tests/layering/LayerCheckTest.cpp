#include "tools/layercheck/LayerCheck.h"

#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A small project: core (Qt-free) below view (links core and Qt), and app above both.
class LayerCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        Write("core/Core.h", "#pragma once\n#include <vector>\n");
        Write("core/Core.cpp", "#include \"core/Core.h\"\n");
        Write("core/Types.h", "#pragma once\n");
        Write("view/View.h", "#pragma once\n#include \"core/Core.h\"\n#include <QWidget>\n");
        Write("view/View.cpp", "#include \"view/View.h\"\n#include \"core/Types.h\"\n");
        Write("app/main.cpp",
              "#include \"view/View.h\"\n#include \"core/Core.h\"\n#include \"generated/Missing.h\"\n");
        targets = {{"core", {"core/Core.cpp"}, {}},
                   {"view", {"view/View.cpp"}, {"core", "Qt6::Widgets"}},
                   {"app", {"app/main.cpp"}, {"view"}}};
    }
    void Write(const std::string& file, const std::string& text) {
        const fs::path path = root.Path() / file;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    std::vector<layercheck::Violation> Check() const { return layercheck::Check(root.Path(), targets); }

    TempRoot root;
    std::vector<layercheck::Target> targets;
};

TEST_F(LayerCheckTest, IncludesDownTheLinkGraphPass) {
    EXPECT_TRUE(Check().empty());
}

TEST_F(LayerCheckTest, AnUpwardIncludeIsNamedWithItsLineAndOwner) {
    Write("core/Core.cpp", "#include \"core/Core.h\"\n#include \"view/View.h\"\n");
    const auto violations = Check();
    ASSERT_EQ(violations.size(), 1u);
    EXPECT_EQ(violations[0].file, "core/Core.cpp");
    EXPECT_EQ(violations[0].line, 2);
    EXPECT_EQ(violations[0].include, "view/View.h");
    EXPECT_EQ(violations[0].reason, "it belongs to view, which core does not link");
}

TEST_F(LayerCheckTest, AHeaderIsHeldToItsSourcesTargetAndAHeaderOnlyOneToItsFolder) {
    Write("core/Core.h", "#pragma once\n#include \"app/main.h\"\n");
    Write("app/main.h", "#pragma once\n");
    Write("core/Types.h", "#pragma once\n#include <QString>\n");
    const auto violations = Check();
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_EQ(violations[0].file, "core/Core.h");
    EXPECT_EQ(violations[1].file, "core/Types.h");
    EXPECT_EQ(violations[1].reason, "core is Qt-free");
}

TEST_F(LayerCheckTest, AQtHeaderInAQtFreeLibraryFailsEvenThroughALinkingProgram) {
    Write("core/Core.cpp", "#include <QtCore/QString>\n#include <QList>\n#include <queue>\n");
    const auto violations = Check();
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_EQ(violations[0].include, "QtCore/QString");
    EXPECT_EQ(violations[1].include, "QList");
}

TEST_F(LayerCheckTest, ASideIncludeBetweenUnlinkedLibrariesFails) {
    Write("other/Other.cpp", "#include \"view/View.h\"\n");
    targets.push_back({"other", {"other/Other.cpp"}, {"core"}});
    ASSERT_EQ(Check().size(), 1u);
}

TEST(LayerManifestTest, ReadsTargetsAndRefusesAStrayLine) {
    std::istringstream good("target a\nsource a/A.cpp\nlink Qt6::Widgets\n\ntarget b\nlink a\n");
    std::vector<layercheck::Target> targets;
    ASSERT_EQ(layercheck::ReadManifest(good, targets), layercheck::ManifestError::None);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].sources, std::vector<std::string>{"a/A.cpp"});
    EXPECT_EQ(targets[1].links, std::vector<std::string>{"a"});

    std::istringstream bad("source before/any.cpp\n");
    int line = 0;
    EXPECT_EQ(layercheck::ReadManifest(bad, targets, &line), layercheck::ManifestError::BadLine);
    EXPECT_EQ(line, 1);
}

} // namespace
