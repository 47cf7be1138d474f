#include "tools/otdrtool/IniCommand.h"

#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"
#include "platform/Files.h"
#include "platform/TextCodec.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace {

constexpr options::Positional kIniArguments[] = {
    {.name = "get|getint|set|setint",
     .noun = "verb",
     .help = "get and getint print the value; set and setint print 1 when written, 0 when not"},
    {.name = "FILE", .noun = "file", .help = "a UTF-16LE INI file of the instrument"},
    {.name = "SECTION", .noun = "section"},
    {.name = "KEY", .noun = "key"},
    {.name = "VALUE", .noun = "value", .help = "get, getint: the default; set, setint: what to write"},
};

bool ParseInt(const std::string& text, int& value) {
    try {
        size_t used = 0;
        const long long parsed = std::stoll(text, &used);
        if (used != text.size() || parsed < INT32_MIN || parsed > INT32_MAX)
            return false;
        value = static_cast<int>(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// What would make the store read the file otherwise than it was written. A section's body ends at the
// next "[" wherever it stands, so a value holding one hides the keys after it; a key is found as "KEY="
// anywhere in the body, so a value holding "=" may hide a key that follows; CR LF ends a value, and the
// rest reads as a line, a key or a section of its own. CR, LF and NUL alone read back as written here,
// but other readers of INI text end a line or the text at them. In a section or key name, "=", "[" and
// "]" are the syntax itself.
constexpr std::u16string_view kNotInNames{u"=[]\r\n\0", 6};
constexpr std::u16string_view kNotInValues{u"[=\r\n\0", 5};

std::string Spelled(char16_t c) {
    switch (c) {
    case u'\r':
        return "CR";
    case u'\n':
        return "LF";
    case u'\0':
        return "NUL";
    default:
        return std::string("'") + static_cast<char>(c) + "'";
    }
}

// The fault of a text that may not hold any of `refused`, or "" when it holds none.
std::string Unwritable(const char* what, std::u16string_view text, std::u16string_view refused) {
    const size_t at = text.find_first_of(refused);
    if (at == std::u16string_view::npos)
        return "";
    std::string list;
    for (size_t i = 0; i < refused.size(); ++i)
        list += (i == 0 ? "" : (i + 1 == refused.size() ? " or " : ", ")) + Spelled(refused[i]);
    return std::string("the ") + what + " may not hold " + list + "; this one holds " + Spelled(text[at]);
}

// UTF-16LE text as the instrument keeps its INI files: an even number of bytes, no U+0000, and a first
// character, after the byte-order mark FF FE if there is one, that is ASCII: a byte other than zero, then
// zero. Every file the store creates starts with "["; 8-bit text such as UTF-8 has no zero byte, and
// UTF-16BE has it first. An empty file, or one with nothing but the mark, is text with nothing in it.
bool IsUtf16Text(std::span<const uint8_t> bytes) {
    if (bytes.size() % 2 != 0)
        return false;
    const size_t start = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE ? 2 : 0;
    if (start < bytes.size() && (bytes[start] == 0 || bytes[start] >= 0x80 || bytes[start + 1] != 0))
        return false;
    for (size_t i = start; i < bytes.size(); i += 2)
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return false;
    return true;
}

} // namespace

const options::Command kIniCommand = {
    .name = "ini",
    .summary = "read or write a key of the instrument's UTF-16 INI files, in UTF-8",
    .positionals = kIniArguments,
    .optionsFirst = true,
};

int RunIniCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kIniCommand, args, parsed, out, err, status))
        return status;
    const std::vector<std::string>& words = parsed.arguments;
    const std::string& verb = words[0];
    if (verb != "get" && verb != "getint" && verb != "set" && verb != "setint") {
        err = options::Failure(kIniCommand, "unknown verb " + verb);
        return 2;
    }
    // The file is a host path: point the device root at its folder and name it from there.
    const std::filesystem::path file = std::filesystem::absolute(words[1]);
    platform::SetDeviceRoot(file.parent_path());
    const std::string devicePath = "\\" + file.filename().string();
    const IniFile ini(devicePath);
    const std::u16string section = platform::Utf8ToUtf16(words[2]);
    const std::u16string key = platform::Utf8ToUtf16(words[3]);
    const std::u16string value = platform::Utf8ToUtf16(words[4]);
    if (verb == "get") {
        out = platform::Utf16ToUtf8(ini.GetString(section, key, value)) + "\n";
        return 0;
    }
    int number = 0;
    if (verb != "set" && !ParseInt(words[4], number)) {
        err = "otdrtool ini " + verb + ": '" + words[4] + "' is not an integer\n";
        return 2;
    }
    if (verb == "getint") {
        out = std::to_string(ini.GetInt(section, key, number)) + "\n";
        return 0;
    }
    for (const std::string& problem :
         {Unwritable("section", section, kNotInNames), Unwritable("key", key, kNotInNames),
          Unwritable("value", value, kNotInValues)}) {
        if (!problem.empty()) {
            err = "otdrtool ini " + verb + ": " + problem + "\n";
            return 2;
        }
    }
    // The store would append UTF-16 to any other text, leaving it readable in neither encoding.
    std::vector<uint8_t> bytes;
    if (platform::ReadWholeFile(devicePath, bytes) && !IsUtf16Text(bytes)) {
        err = "otdrtool ini " + verb + ": " + words[1] + " is not UTF-16LE text; it is left as it is\n";
        return 1;
    }
    out = std::to_string(verb == "set" ? ini.SetString(section, key, value)
                                       : ini.SetInt(section, key, number)) +
          "\n";
    return 0;
}
