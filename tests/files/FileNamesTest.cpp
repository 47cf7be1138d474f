#include "instrument/files/FileNames.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(FileNamesTest, TheProposedNameIsTheClockAsTwelveDigits) {
    EXPECT_EQ(DefaultFileName({2025, 3, 0, 2, 14, 30, 5, 999}), "250302143005");
    EXPECT_EQ(DefaultFileName({2009, 1, 0, 2, 3, 4, 5, 0}), "090102030405");
    EXPECT_EQ(DefaultFileName({2100, 12, 0, 31, 23, 59, 59, 0}), "001231235959");
}

TEST(FileNamesTest, NamesThatWouldLeaveTheFolderOrCannotExistAreRefusedWithTheirReason) {
    const std::vector<std::pair<std::string, FileNameError>> refused = {
        {"", FileNameError::Empty},
        {std::string(65, 'a'), FileNameError::TooLong},
        {"a\tb", FileNameError::ControlCharacter},
        {std::string("a\0b", 3), FileNameError::ControlCharacter},
        {"a\x7f", FileNameError::ControlCharacter},
        {"..\\config", FileNameError::Separator},
        {"../config", FileNameError::Separator},
        {"..", FileNameError::ParentFolder},
        {"a..b", FileNameError::ParentFolder},
        {"C:trace", FileNameError::DriveOrColon},
        {"a:b", FileNameError::DriveOrColon},
        {"a*", FileNameError::ReservedCharacter},
        {"a?", FileNameError::ReservedCharacter},
        {"a\"b", FileNameError::ReservedCharacter},
        {"<a", FileNameError::ReservedCharacter},
        {"a>", FileNameError::ReservedCharacter},
        {"a|b", FileNameError::ReservedCharacter},
        {" a", FileNameError::EdgeBlankOrDot},
        {"a ", FileNameError::EdgeBlankOrDot},
        {".a", FileNameError::EdgeBlankOrDot},
        {"a.", FileNameError::EdgeBlankOrDot},
        {" ", FileNameError::EdgeBlankOrDot},
    };
    for (const auto& [name, reason] : refused) {
        FileNameError error = FileNameError::None;
        EXPECT_EQ(CheckFileName(name, &error), 0) << name;
        EXPECT_EQ(error, reason) << name << ": " << Describe(error);
    }
}

TEST(FileNamesTest, NamesTheFileSystemHoldsPassAndTheLimitCountsCharactersNotBytes) {
    std::string chinese;
    for (int i = 0; i < 64; ++i)
        chinese += "测";
    for (const std::string& name :
         {std::string("250302143005"), std::string("Link A-3_splice 2"), std::string("a.b"),
          std::string(64, 'x'), chinese, std::string("光缆1号")}) {
        FileNameError error = FileNameError::EdgeBlankOrDot;
        EXPECT_EQ(CheckFileName(name, &error), 1) << name;
        EXPECT_EQ(error, FileNameError::None) << name;
    }
    EXPECT_EQ(CheckFileName(chinese + "测"), 0);
}

} // namespace
