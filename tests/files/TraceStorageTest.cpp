#include "instrument/files/TraceStorage.h"
#include "instrument/acquisition/TestParameters.h"
#include "instrument/acquisition/TraceData.h"
#include "instrument/state/AppState.h"

#include "platform/DebugOut.h"

#include "shared/tracefile/TraceFile.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/files/TraceFiles.h"
#include "tests/support/TempRoot.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace {

class TraceStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        UDiskRoot = "\\Hard Disk";
        std::filesystem::create_directories(root.Path() / "NandFlash");
        saved = TestParam;
        savedWay = TestWay;
        UseParameters16km();
        CurrentTrace().Replace(TraceSamples(7));
    }
    void TearDown() override {
        TestParam = saved;
        TestWay = savedWay;
        CurrentTrace().Replace({});
        platform::SetDebugSink({});
    }
    void PlugUsbDisk() const { std::filesystem::create_directories(root.Path() / "Hard Disk"); }
    std::vector<std::string> FileNames(int location) const {
        std::vector<std::string> names;
        for (const TraceFileRow& row : ListTraceFiles(location))
            names.push_back(row.name);
        return names;
    }

    TempRoot root;
    TestParameterTable saved;
    TestWayPair savedWay;
};

TEST_F(TraceStorageTest, ThePlacesAreTheFlashAndTheTraceFolderOfTheUsbDisk) {
    EXPECT_EQ(TraceFilePath(kInternalFlash, "a.st"), "\\NandFlash\\a.st");
    EXPECT_EQ(TraceFilePath(kUsbDisk, "a.st"), "\\Hard Disk\\OTDRDATA\\a.st");
    UDiskRoot = "\\硬盘";
    EXPECT_EQ(TraceFolder(kUsbDisk), "\\硬盘\\OTDRDATA");
    EXPECT_EQ(OtherLocation(kUsbDisk), kInternalFlash);
    EXPECT_EQ(OtherLocation(kInternalFlash), kUsbDisk);
}

TEST_F(TraceStorageTest, TheUsbCheckWantsTheDiskAndMakesItsTraceFolder) {
    UsbDiskError error = UsbDiskError::None;
    EXPECT_EQ(CheckUsbDisk(&error), 0);
    EXPECT_EQ(error, UsbDiskError::NoDisk);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "Hard Disk"));
    PlugUsbDisk();
    EXPECT_EQ(CheckUsbDisk(&error), 1);
    EXPECT_EQ(error, UsbDiskError::None);
    EXPECT_TRUE(std::filesystem::is_directory(root.Path() / "Hard Disk/OTDRDATA"));
    // A folder written in another case is the same folder.
    std::filesystem::rename(root.Path() / "Hard Disk/OTDRDATA", root.Path() / "Hard Disk/otdrdata");
    EXPECT_EQ(CheckUsbDisk(&error), 1);
    EXPECT_EQ(Names(root, "Hard Disk"), std::vector<std::string>{"otdrdata"});
    // A file where the folder belongs cannot be replaced by one.
    std::filesystem::remove(root.Path() / "Hard Disk/otdrdata");
    root.Write("Hard Disk/OTDRDATA", "not a folder");
    EXPECT_EQ(CheckUsbDisk(&error), 0);
    EXPECT_EQ(error, UsbDiskError::NoFolder);
}

TEST_F(TraceStorageTest, ListsShowEachTraceFileWithSizeTypeDateAndPathButNoFolders) {
    WriteTraceFiles(root, "NandFlash", {"b.st", "a.ST"});
    root.Write("NandFlash/short.st", std::string(999, 'x'));
    root.Write("NandFlash/notes.txt", "x");
    std::filesystem::create_directories(root.Path() / "NandFlash/folder.st");
    SetDate(root, "NandFlash/a.ST", 2025, 3, 2);
    SetDate(root, "NandFlash/b.st", 2024, 12, 31);
    const std::vector<TraceFileRow> rows = ListTraceFiles(kInternalFlash);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "a.ST");
    EXPECT_EQ(rows[0].size, "65 KB");
    EXPECT_EQ(rows[0].type, "ST");
    EXPECT_EQ(rows[0].date, "2025-3-2");
    EXPECT_EQ(rows[0].path, "\\NandFlash\\a.ST");
    EXPECT_EQ(rows[1].name, "b.st");
    EXPECT_EQ(rows[1].date, "2024-12-31");
    EXPECT_EQ(rows[2].name, "short.st");
    EXPECT_EQ(rows[2].size, "0 KB");
    EXPECT_TRUE(ListTraceFiles(kUsbDisk).empty());
}

TEST_F(TraceStorageTest, ANameIsTakenWhateverItsLetterCase) {
    WriteTraceFiles(root, "NandFlash", {"ABC.st"});
    EXPECT_TRUE(NameTaken(kInternalFlash, "abc.st"));
    EXPECT_TRUE(NameTaken(kInternalFlash, "Abc.ST"));
    EXPECT_FALSE(NameTaken(kInternalFlash, "abcd.st"));
    EXPECT_FALSE(NameTaken(kUsbDisk, "abc.st"));
}

TEST_F(TraceStorageTest, TheWriterStoresTheCurrentTraceWithTheCurrentParametersAndTimesItself) {
    std::vector<std::string> debug;
    platform::SetDebugSink([&](std::string_view line) { debug.emplace_back(line); });
    TestParam.items[kRefractiveItem].value = 1.4685f;
    TestWay.m_iAvgTime = 30;
    ASSERT_EQ(WriteTrace("link 1", kInternalFlash), 1);
    tracefile::TraceFileContents contents;
    ASSERT_EQ(tracefile::ReadTraceFile(root.Path() / "NandFlash/link 1.st",
                                       tracefile::ReaderVariant::Instrument, contents),
              0);
    EXPECT_EQ(contents.samples, TraceSamples(7));
    EXPECT_EQ(contents.block.Words(), ToParameterBlock(TestParam, TestWay).Words());
    EXPECT_EQ(contents.block.Words()[4], 3000000);
    ASSERT_EQ(debug.size(), 1u);
    EXPECT_TRUE(std::regex_match(debug[0], std::regex("time = [0-9]+ \r\n"))) << debug[0];
}

TEST_F(TraceStorageTest, TheWriterMakesTheUsbTraceFolderAndSaysWhatIsMissing) {
    SaveError error = SaveError::None;
    EXPECT_EQ(WriteTrace("x", kUsbDisk, &error), 0);
    EXPECT_EQ(error, SaveError::NoUsbDisk);
    PlugUsbDisk();
    root.Write("Hard Disk/OTDRDATA", "");
    EXPECT_EQ(WriteTrace("x", kUsbDisk, &error), 0);
    EXPECT_EQ(error, SaveError::NoFolder);
    std::filesystem::remove(root.Path() / "Hard Disk/OTDRDATA");
    EXPECT_EQ(WriteTrace("x", kUsbDisk, &error), 1);
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/x.st").size(), 65600u);
    // Without a trace nothing is written, not even an empty file.
    CurrentTrace().Replace({});
    EXPECT_EQ(WriteTrace("empty", kInternalFlash, &error), 0);
    EXPECT_EQ(error, SaveError::NoTrace);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "NandFlash/empty.st"));
    // A 16 km trace under settings changed to 2 km since: its file would open nowhere.
    CurrentTrace().Replace(TraceSamples(7));
    TestParam.items[kRangeItem].value = 2.0f;
    EXPECT_EQ(WriteTrace("other range", kInternalFlash, &error), 0);
    EXPECT_EQ(error, SaveError::NotItsRange);
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "NandFlash/other range.st"));
}

TEST_F(TraceStorageTest, AWriteTheDiskCannotTakeLeavesNoPartOfItAndTheOlderFileWhole) {
    const std::string older = TraceFileBytes(3);
    root.Write("NandFlash/x.st", older);
    SaveError error = SaveError::None;
    {
        const FileSizeLimit full(4096);
        EXPECT_EQ(WriteTrace("x", kInternalFlash, &error), 0);
        EXPECT_EQ(WriteTrace("new", kInternalFlash), 0);
    }
    EXPECT_EQ(error, SaveError::WriteFailed);
    EXPECT_EQ(root.Read("NandFlash/x.st"), older);
    EXPECT_EQ(Names(root, "NandFlash"), std::vector<std::string>{"x.st"});
}

TEST_F(TraceStorageTest, ACopyReplacesTheOtherPlacesFileOrLeavesItAsItWas) {
    PlugUsbDisk();
    WriteTraceFiles(root, "NandFlash", {"a.st"}, 1);
    WriteTraceFiles(root, "Hard Disk/OTDRDATA", {"A.st", "b.st"}, 2);
    // Copied over the file of that name whatever its case, which keeps its own.
    EXPECT_EQ(CopyTraceFile(kInternalFlash, "a.st"), 1);
    EXPECT_EQ(root.Read("Hard Disk/OTDRDATA/A.st"), TraceFileBytes(1));
    EXPECT_EQ(Names(root, "Hard Disk/OTDRDATA"), (std::vector<std::string>{"A.st", "b.st"}));
    EXPECT_EQ(CopyTraceFile(kUsbDisk, "b.st"), 1);
    EXPECT_EQ(root.Read("NandFlash/b.st"), TraceFileBytes(2));
    EXPECT_EQ(CopyTraceFile(kUsbDisk, "missing.st"), 0);
    WriteTraceFiles(root, "NandFlash", {"a.st"}, 5);
    {
        // A disk that fills up halfway through.
        const FileSizeLimit full(4096);
        EXPECT_EQ(CopyTraceFile(kUsbDisk, "A.st"), 0);
    }
    EXPECT_EQ(root.Read("NandFlash/a.st"), TraceFileBytes(5));
    EXPECT_EQ(Names(root, "NandFlash"), (std::vector<std::string>{"a.st", "b.st"}));
}

TEST_F(TraceStorageTest, DeletingAllCountsWhatWentAndWhatStayed) {
    WriteTraceFiles(root, "NandFlash", {"a.st", "b.st", "c.st"});
    root.Write("NandFlash/keep.txt", "x");
    const DeleteCount count = DeleteTraceFiles(kInternalFlash);
    EXPECT_EQ(count.deleted, 3);
    EXPECT_EQ(count.failed, 0);
    EXPECT_EQ(Names(root, "NandFlash"), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(DeleteTraceFiles(kUsbDisk).deleted, 0);
}

} // namespace
