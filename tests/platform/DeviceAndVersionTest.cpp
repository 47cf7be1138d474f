#include "platform/Device.h"
#include "platform/Locale.h"
#include "platform/TextCodec.h"
#include "platform/VersionInfo.h"
#include "platform/VirtualKeys.h"

#include "tests/support/TempRoot.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class EchoDriver : public platform::DeviceDriver {
public:
    int IoControl(uint32_t code, const void*, uint32_t, void* out, uint32_t) override {
        if (code == 99) {
            platform::SetLastError(platform::ERROR_NOT_SUPPORTED);
            return 0;
        }
        if (out)
            *static_cast<uint32_t*>(out) = code * 2;
        return 1;
    }
};

TEST(DeviceTest, RegistryOpensInstancesAndReportsFailures) {
    EXPECT_EQ(platform::OpenDevice("XYZ1:"), platform::INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform::GetLastError(), platform::ERROR_FILE_NOT_FOUND);

    platform::RegisterDriver("ECH1:", [] { return std::make_unique<EchoDriver>(); });
    const platform::DeviceHandle a = platform::OpenDevice("ECH1:");
    const platform::DeviceHandle b = platform::OpenDevice("ECH1:");
    ASSERT_NE(a, platform::INVALID_HANDLE_VALUE);
    EXPECT_NE(a, b);
    uint32_t out = 0;
    EXPECT_NE(platform::DeviceIoControl(a, 21, nullptr, 0, &out, sizeof out), 0);
    EXPECT_EQ(out, 42u);
    EXPECT_EQ(platform::DeviceIoControl(a, 99, nullptr, 0, nullptr, 0), 0);
    EXPECT_EQ(platform::GetLastError(), platform::ERROR_NOT_SUPPORTED);
    EXPECT_TRUE(platform::CloseDevice(a));
    EXPECT_FALSE(platform::CloseDevice(a));
    EXPECT_EQ(platform::DeviceIoControl(a, 21, nullptr, 0, &out, sizeof out), 0);
    EXPECT_EQ(platform::GetLastError(), platform::ERROR_INVALID_HANDLE);
    EXPECT_NE(platform::DeviceIoControl(b, 1, nullptr, 0, nullptr, 0), 0);
    platform::UnregisterDriver("ECH1:");
    EXPECT_EQ(platform::OpenDevice("ECH1:"), platform::INVALID_HANDLE_VALUE);
}

std::string ProgramBytes(const char* name) {
    std::ifstream in(std::string(LUMETRA_BIN_DIR) + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(VersionInfoTest, ReadsEachProgramsOwnBlock) {
    std::string value;
    // Lumetra carries Vantrel inside; its own block must still be the one found.
    const std::string lumetra = ProgramBytes("Lumetra");
    ASSERT_FALSE(lumetra.empty());
    ASSERT_TRUE(platform::QueryVersionValueIn(lumetra, "\\StringFileInfo\\080403a8\\ProductName", value));
    EXPECT_EQ(value, "Lumetra");
    const std::string vantrel = ProgramBytes("Vantrel");
    ASSERT_TRUE(platform::QueryVersionValueIn(vantrel, "\\StringFileInfo\\080403a8\\ProductName", value));
    EXPECT_EQ(value, "Vantrel");
    ASSERT_TRUE(platform::QueryVersionValueIn(vantrel, "\\StringFileInfo\\080403a8\\ProductVersion", value));
    EXPECT_EQ(value, "1.0.0");
    EXPECT_FALSE(platform::QueryVersionValueIn(vantrel, "\\StringFileInfo\\080403a8\\Comments", value));
}

TEST(VersionInfoTest, PlainBlocksAndDamagedFilesAreHandled) {
    using namespace std::string_literals;
    const std::string block =
        "junk"s + "VS_VERSION_INFO\0"s + "\\StringFileInfo\\080403a8\\ProductName\0Lumetra\0\0"s;
    std::string value;
    EXPECT_TRUE(platform::QueryVersionValueIn(block, "\\StringFileInfo\\080403a8\\ProductName", value));
    EXPECT_EQ(value, "Lumetra");
    EXPECT_FALSE(platform::QueryVersionValueIn("VS_VERSION_INFO\0\\Str"s, "\\Str", value));
    // A program file cut short, or with its section table pointing anywhere.
    std::string program = ProgramBytes("Vantrel");
    EXPECT_FALSE(platform::QueryVersionValueIn(program.substr(0, 4096),
                                               "\\StringFileInfo\\080403a8\\ProductName", value));
    for (size_t at : {0x28u, 0x3Au, 0x3Cu, 0x3Eu}) {
        std::string broken = program;
        broken[at] = '\xFF';
        broken[at + 1] = '\x7F';
        platform::QueryVersionValueIn(broken, "\\StringFileInfo\\080403a8\\ProductName", value);
    }
    TempRoot root;
    EXPECT_FALSE(platform::QueryVersionValue("\\NandFlash\\Lumetra.exe",
                                             "\\StringFileInfo\\080403a8\\ProductName", value));
}

TEST(TextCodecTest, RoundTripsAndReplacesBrokenSequences) {
    const std::string text = "Lumetra 光时域 \xF0\x9F\x94\xA6";
    EXPECT_EQ(platform::Utf16ToUtf8(platform::Utf8ToUtf16(text)), text);
    EXPECT_EQ(platform::Utf8ToUtf16("\xE5\x85"), u"\uFFFD\uFFFD");
    EXPECT_EQ(platform::Utf8ToUtf16("a\xC0\xAF"), u"a\uFFFD\uFFFD");         // overlong
    EXPECT_EQ(platform::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // surrogate
    EXPECT_EQ(platform::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(LocaleTest, DerivesTheIdFromTheEnvironment) {
    unsetenv("LUMETRA_LOCALE");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "zh_CN.UTF-8", 1);
    EXPECT_EQ(platform::UserDefaultLocaleId(), "0804");
    setenv("LANG", "zh_TW.UTF-8", 1);
    EXPECT_EQ(platform::UserDefaultLocaleId(), "0404");
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(platform::UserDefaultLocaleId(), "0409");
    setenv("LC_ALL", "de_DE", 1);
    EXPECT_EQ(platform::UserDefaultLocaleId(), "0407");
    setenv("LUMETRA_LOCALE", "0804", 1);
    EXPECT_EQ(platform::UserDefaultLocaleId(), "0804");
}

TEST(VirtualKeysTest, NamesAndCodesAgree) {
    EXPECT_STREQ(platform::KeyName(platform::VK_RETURN), "VK_RETURN");
    EXPECT_STREQ(platform::KeyName('T'), "T");
    EXPECT_EQ(platform::KeyName(platform::VK_F12), nullptr);
    EXPECT_EQ(platform::KeyFromName("VK_F3"), platform::VK_F3);
    EXPECT_EQ(platform::KeyFromName("F12"), platform::VK_F12);
    EXPECT_EQ(platform::KeyFromName("v"), platform::VK_V);
    EXPECT_EQ(platform::KeyFromName("7"), uint32_t{'7'});
    EXPECT_EQ(platform::KeyFromName("F13"), 0u);
    EXPECT_EQ(platform::KeyFromName("VK_NOPE"), 0u);
}

} // namespace
