#include "pc/COTDRApp.h"
#include "pc/system/SingleInstance.h"

#include "tests/e2e/ProgramRun.h"
#include "tests/support/TempRoot.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// OTDR's report without a window (--report) and from a script (print-pdf), read back with pdftotext.
class OtdrReportRunTest : public ::testing::Test {
protected:
    ProgramRun Run(std::vector<std::string> arguments) const {
        return RunProgram(OtdrStart(root.Path(), std::move(arguments)));
    }
    ProgramRun RunScript(const std::string& script) const {
        static int count = 0;
        const fs::path file = root.Path() / ("script" + std::to_string(++count) + ".txt");
        std::ofstream(file) << script;
        return Run({"--script", file.string()});
    }
    std::string Path(const std::string& name) const { return (root.Path() / name).string(); }
    static QString PdfText(const std::string& pdf) {
        QProcess process;
        process.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            return {};
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static void ExpectInOrder(const QString& text, const QStringList& patterns) {
        qsizetype from = 0;
        for (const QString& pattern : patterns) {
            const QRegularExpressionMatch match = QRegularExpression(pattern).match(text, from);
            ASSERT_TRUE(match.hasMatch()) << "no \"" << pattern.toStdString() << "\" in:\n"
                                          << text.toStdString();
            from = match.capturedEnd();
        }
    }

    const std::string trace = std::string(SOURCE_DIR) + "/data/traces/sample_16km.st";
    TempRoot root;
};

TEST_F(OtdrReportRunTest, AReportOfATraceIsWrittenWithoutAWindowWithItsAnalysedEvents) {
    const ProgramRun run = Run({"--report", Path("report.pdf"), trace});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ExpectInOrder(PdfText(Path("report.pdf")),
                  {"KR4700 OTDR Test Report",
                   "FileName:sample_16km\\.st +TestTime:\\d{4}-\\d+-\\d+ +PrintTime:", "Parameters",
                   "Range:\\s+16\\.0 km\\s+WaveLength:\\s+1310 nm", "Threshold:\\s+0\\.100", "Wave Form Data",
                   "\\(A-B\\)Loss:", "AverageLoss:", "OTDR Test Wave Form", "Event List",
                   "No\\.\\s+EventType\\s+Distance\\s+JoinLoss", "1\\s+JointEvent\\s+2\\.4926\\s+0\\.3492"});
}

TEST_F(OtdrReportRunTest, AnUnreadableTraceIsNamedOnStandardErrorAndNoReportIsWritten) {
    std::ofstream(Path("short.st")) << "abc";
    for (const std::string& bad : {Path("short.st"), Path("missing.st")}) {
        const ProgramRun run = Run({"--report", Path("report.pdf"), bad});
        EXPECT_NE(run.exitCode, 0) << bad;
        EXPECT_NE(run.errors.find("cannot read " + bad), std::string::npos) << run.errors;
        EXPECT_FALSE(fs::exists(Path("report.pdf")));
    }
    const ProgramRun noTrace = Run({"--report", Path("report.pdf")});
    EXPECT_EQ(noTrace.exitCode, 2);
    EXPECT_NE(noTrace.errors.find("usage: OTDR --report OUT.pdf FILE.st"), std::string::npos)
        << noTrace.errors;
}

TEST_F(OtdrReportRunTest, AScriptsPrintPdfMakesTheSameReportAsTheCommandLine) {
    const ProgramRun script =
        RunScript("open \"" + trace + "\"\nwait 100\nmenu \"Curve Analysis/Event Analysis\"\nprint-pdf " +
                  Path("script.pdf") + "\nquit\n");
    ASSERT_EQ(script.exitCode, 0) << script.errors;
    const ProgramRun line = Run({"--report", Path("line.pdf"), trace});
    ASSERT_EQ(line.exitCode, 0) << line.errors;
    const QString text = PdfText(Path("script.pdf"));
    EXPECT_TRUE(text.contains("1                         JointEvent")) << text.toStdString();
    EXPECT_EQ(text, PdfText(Path("line.pdf")));

    const ProgramRun unwritable = RunScript("print-pdf " + Path("no/such/folder/x.pdf") + "\nquit\n");
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_NE(unwritable.errors.find("line 1: cannot write"), std::string::npos) << unwritable.errors;
}

TEST_F(OtdrReportRunTest, AReportNeitherTakesNorMindsTheLockOfARunningWindow) {
    // The lock as a running window holds it, in the programs' runtime folder.
    ASSERT_EQ(setenv("XDG_RUNTIME_DIR", root.Path().c_str(), 1), 0);
    const SingleInstance window(COTDRApp::kMutexName);
    ASSERT_TRUE(window.Acquired());
    const ProgramRun report = Run({"--report", Path("report.pdf"), trace});
    EXPECT_EQ(report.exitCode, 0) << report.errors;
    EXPECT_EQ(report.errors.find("There has been a same software operating now!"), std::string::npos);
    EXPECT_TRUE(PdfText(Path("report.pdf")).contains("FileName:sample_16km.st"));
    // A window is refused meanwhile.
    const ProgramRun second = RunScript("answer ok\ndump " + Path("second.json") + "\nquit\n");
    EXPECT_NE(second.errors.find("There has been a same software operating now!"), std::string::npos)
        << second.errors;
    EXPECT_FALSE(fs::exists(Path("second.json")));
}

} // namespace
