#include "tools/otdrtool/IniCommand.h"

#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"
#include "platform/TextCodec.h"

#include <filesystem>

namespace {

constexpr const char* kUsage = "usage: otdrtool ini get|getint|set|setint FILE SECTION KEY VALUE\n";

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

int RunIniCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    if (args.size() != 5) {
        err = kUsage;
        return 2;
    }
    const std::string& verb = args[0];
    // The file is a host path: point the device root at its folder and name it from there.
    const std::filesystem::path file = std::filesystem::absolute(args[1]);
    platform::SetDeviceRoot(file.parent_path());
    const IniFile ini("\\" + file.filename().string());
    const std::u16string section = platform::Utf8ToUtf16(args[2]);
    const std::u16string key = platform::Utf8ToUtf16(args[3]);
    if (verb == "get") {
        out = platform::Utf16ToUtf8(ini.GetString(section, key, platform::Utf8ToUtf16(args[4]))) + "\n";
        return 0;
    }
    if (verb == "set") {
        out = std::to_string(ini.SetString(section, key, platform::Utf8ToUtf16(args[4]))) + "\n";
        return 0;
    }
    int number = 0;
    if (verb != "getint" && verb != "setint") {
        err = kUsage;
        return 2;
    }
    if (!ParseInt(args[4], number)) {
        err = "otdrtool ini " + verb + ": '" + args[4] + "' is not an integer\n";
        return 2;
    }
    out = std::to_string(verb == "getint" ? ini.GetInt(section, key, number)
                                          : ini.SetInt(section, key, number)) +
          "\n";
    return 0;
}
