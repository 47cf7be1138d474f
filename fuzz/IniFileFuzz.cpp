// Arbitrary bytes as an INI file: reads and writes must never crash, a refused write must leave the file
// as it was, a value written must read back, and the text's integer conversion is the C library's.
#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

const std::filesystem::path& Root() {
    static const std::filesystem::path root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "inifuzz-XXXXXX").string();
        std::filesystem::path made = ::mkdtemp(pattern.data());
        platform::SetDeviceRoot(made);
        return made;
    }();
    return root;
}

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The C library's conversion of the same text, which the instrument's call behaves as: anything outside
// ASCII, and a NUL, ends the digits.
int LibraryToInt(const std::u16string& text) {
    std::string narrow;
    for (const char16_t c : text)
        narrow += c > 0 && c < 0x80 ? static_cast<char>(c) : '?';
    const long long value = std::strtoll(narrow.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = Root() / "fuzz.ini";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const IniFile ini("\\fuzz.ini");
    // Section and key names come from the input's first units too, so matches happen.
    std::u16string section = u"config", key = u"language";
    if (size >= 8) {
        section.assign(reinterpret_cast<const char16_t*>(data), 2);
        key.assign(reinterpret_cast<const char16_t*>(data) + 2, 2);
    }
    ini.GetString(section, key, u"flase");
    ini.GetInt(u"config", u"verno", 1);
    const std::u16string units(reinterpret_cast<const char16_t*>(data), size / 2);
    if (WideToInt(units) != LibraryToInt(units))
        std::abort();

    const std::string before = Contents(file);
    const int written = ini.SetString(section, key, u"1");
    if (written == 0 && Contents(file) != before)
        std::abort();
    // What was written reads back, unless a "[" in the section's name lets a header start inside another.
    if (written == 1 && section.find(u'[') == std::u16string::npos &&
        ini.GetString(section, key, u"") != u"1")
        std::abort();
    if (ini.SetInt(u"param", u"myRang", 4) == 1 && ini.GetInt(u"param", u"myRang", 0) != 4)
        std::abort();
    return 0;
}
