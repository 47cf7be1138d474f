#include "tests/support/TempRoot.h"

#include "platform/DevicePath.h"
#include "platform/TextCodec.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

TempRoot::TempRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lumetra-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
    platform::SetDeviceRoot(path_);
}

TempRoot::~TempRoot() {
    platform::SetDeviceRoot({});
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void TempRoot::Write(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string TempRoot::Read(const std::string& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Utf16Bytes(const std::string& utf8) {
    const std::u16string text = platform::Utf8ToUtf16(utf8);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}
