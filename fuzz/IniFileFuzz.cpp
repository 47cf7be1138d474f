// Arbitrary bytes as an INI file: reads and writes must never crash, and a refused write must leave the
// file as it was.
#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"

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
    const std::string before = Contents(file);
    if (ini.SetString(section, key, u"1") == 0 && Contents(file) != before)
        std::abort();
    ini.SetInt(u"param", u"myRang", 4);
    return 0;
}
