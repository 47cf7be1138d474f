#include "tools/otdrtool/IniCommand.h"

#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"
#include "platform/TextCodec.h"

#include <filesystem>

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
    const IniFile ini("\\" + file.filename().string());
    const std::u16string section = platform::Utf8ToUtf16(words[2]);
    const std::u16string key = platform::Utf8ToUtf16(words[3]);
    if (verb == "get") {
        out = platform::Utf16ToUtf8(ini.GetString(section, key, platform::Utf8ToUtf16(words[4]))) + "\n";
        return 0;
    }
    if (verb == "set") {
        out = std::to_string(ini.SetString(section, key, platform::Utf8ToUtf16(words[4]))) + "\n";
        return 0;
    }
    int number = 0;
    if (!ParseInt(words[4], number)) {
        err = "otdrtool ini " + verb + ": '" + words[4] + "' is not an integer\n";
        return 2;
    }
    out = std::to_string(verb == "getint" ? ini.GetInt(section, key, number)
                                          : ini.SetInt(section, key, number)) +
          "\n";
    return 0;
}
