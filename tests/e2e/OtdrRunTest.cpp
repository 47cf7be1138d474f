#include "tests/e2e/ProgramRun.h"
#include "tests/support/TempRoot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace fs = std::filesystem;

namespace {

// OTDR as a user starts it, in a settings and runtime folder of the test's own, driven by a script.
class OtdrRunTest : public ::testing::Test {
protected:
    ProgramRun Run(const std::string& script, std::vector<std::string> arguments = {}) const {
        static int count = 0;
        const fs::path file = root.Path() / ("script" + std::to_string(++count) + ".txt");
        std::ofstream(file) << script;
        arguments.insert(arguments.begin(), {"--script", file.string()});
        return RunProgram(OtdrStart(root.Path(), std::move(arguments)));
    }
    QJsonObject Json(const std::string& name) const {
        std::ifstream in(root.Path() / name, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
    }
    std::string Path(const std::string& name) const { return (root.Path() / name).string(); }

    TempRoot root;
};

TEST_F(OtdrRunTest, AScriptOpensATraceMovesTheCursorsAndDumpsWhatTheWindowShows) {
    const std::string trace = std::string(SOURCE_DIR) + "/data/traces/sample_16km.st";
    const ProgramRun run = Run("open \"" + trace +
                               "\"\nwait 100\nclick 130 100\nmenu \"Curve Operation/Change Mark\"\n"
                               "drag 130 100 330 120\nmenu \"Curve Operation/Horizontal Zoom-in\"\n"
                               "shot " +
                               Path("otdr.png") + "\ndump " + Path("dump.json") + "\nquit\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(fs::file_size(Path("otdr.png")) > 0);
    const QJsonObject dump = Json("dump.json");
    EXPECT_EQ(dump.keys(), (QStringList{"active", "caption", "cursors", "dialog", "enabled", "events",
                                        "measure", "mode", "params", "title"}));
    EXPECT_EQ(dump["caption"].toString().toStdString(), trace);
    EXPECT_EQ(dump["title"].toString(), "sample_16km.st - OTDR Management Software");
    EXPECT_EQ(dump["params"].toObject()["Range"].toString(), "16.0 km");
    EXPECT_EQ(dump["mode"].toInt(), 0);
    // A put at column 100 pushed B there too; B, made active, was dragged from its line to column 300.
    EXPECT_EQ(dump["active"].toString(), "B");
    const QJsonObject cursors = dump["cursors"].toObject();
    EXPECT_GT(cursors["B"].toObject()["sample"].toInt(), cursors["A"].toObject()["sample"].toInt());
    EXPECT_TRUE(cursors["A"].toObject()["label"].toString().startsWith("A "));
    EXPECT_TRUE(dump["measure"].toObject()["(A-B)Distance"].toString().endsWith(" km"));
    EXPECT_EQ(dump["measure"].toObject()["JointLoss"].toString(), "");
    EXPECT_TRUE(dump["events"].toArray().isEmpty());
    EXPECT_TRUE(dump["enabled"].toObject()["Restore Curve"].toBool());
    EXPECT_FALSE(dump["enabled"].toObject()["Add Event"].toBool());
}

TEST_F(OtdrRunTest, AScriptExportsTheTraceAsSorAndImportsItBack) {
    const std::string trace = std::string(SOURCE_DIR) + "/data/traces/sample_16km.st";
    const ProgramRun run =
        Run("open \"" + trace + "\"\nwait 100\nexport-sor " + Path("a.sor") + "\nimport-sor " +
            Path("a.sor") + " " + Path("b.st") + "\nwait 100\ndump " + Path("dump.json") + "\nquit\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(Json("dump.json")["title"].toString(), "b.st - OTDR Management Software");
    const auto bytes = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(bytes(Path("b.st")), bytes(trace));

    const ProgramRun missing = Run("import-sor " + Path("none.sor") + " " + Path("c.st") + "\n");
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.errors.find("line 1: Cannot import " + Path("none.sor") + ": the file cannot be read"),
              std::string::npos)
        << missing.errors;
}

TEST_F(OtdrRunTest, ABadLineStopsTheScriptBeforeTheWindowWithItsNumber) {
    const ProgramRun run = Run("# a comment\nwait 10\nfrobnicate 3\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find("line 3: unknown command 'frobnicate'"), std::string::npos) << run.errors;
    const ProgramRun usage = Run("click 10\n");
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.errors.find("line 1: usage: click X Y"), std::string::npos) << usage.errors;
}

TEST_F(OtdrRunTest, ASecondStartSaysSoAndOpensNoWindowWhileTheFirstRuns) {
    auto first = std::async(std::launch::async,
                            [&] { return Run("dump " + Path("first.json") + "\nwait 4000\nquit\n"); });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(Path("first.json")) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(Path("first.json")));
    const ProgramRun second = Run("answer ok\ndump " + Path("second.json") + "\nquit\n");
    EXPECT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_NE(second.errors.find("There has been a same software operating now!"), std::string::npos)
        << second.errors;
    EXPECT_FALSE(fs::exists(Path("second.json"))) << "the second start opened a window";
    EXPECT_EQ(first.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
        << "the first ended early";
    EXPECT_EQ(first.get().exitCode, 0);
    // With the first gone, a new start runs.
    const ProgramRun third = Run("dump " + Path("third.json") + "\nquit\n");
    EXPECT_EQ(third.exitCode, 0) << third.errors;
    EXPECT_TRUE(fs::exists(Path("third.json")));
}

} // namespace
