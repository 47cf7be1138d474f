#include "platform/VersionInfo.h"

#include "platform/Files.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kMagic{"VS_VERSION_INFO\0", 16};

template <typename T> bool ReadAt(std::string_view bytes, uint64_t offset, T& value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return true;
}

// The ".lumver" section of a little-endian 64-bit ELF file, or an empty view.
std::string_view ElfVersionSection(std::string_view bytes) {
    if (bytes.size() < 64 ||
        bytes.substr(0, 4) != std::string_view("\x7f"
                                               "ELF",
                                               4) ||
        bytes[4] != 2 || bytes[5] != 1)
        return {};
    uint64_t sectionTable = 0;
    uint16_t entrySize = 0, count = 0, namesIndex = 0;
    if (!ReadAt(bytes, 0x28, sectionTable) || !ReadAt(bytes, 0x3A, entrySize) ||
        !ReadAt(bytes, 0x3C, count) || !ReadAt(bytes, 0x3E, namesIndex) || entrySize < 64 ||
        namesIndex >= count)
        return {};
    const auto section = [&](uint16_t index, uint32_t& name, uint64_t& offset, uint64_t& size) {
        const uint64_t base = sectionTable + uint64_t{index} * entrySize;
        return ReadAt(bytes, base, name) && ReadAt(bytes, base + 0x18, offset) &&
               ReadAt(bytes, base + 0x20, size) && offset <= bytes.size() && size <= bytes.size() - offset;
    };
    uint32_t unusedName = 0;
    uint64_t namesOffset = 0, namesSize = 0;
    if (!section(namesIndex, unusedName, namesOffset, namesSize))
        return {};
    const std::string_view names = bytes.substr(namesOffset, namesSize);
    for (uint16_t i = 0; i < count; ++i) {
        uint32_t name = 0;
        uint64_t offset = 0, size = 0;
        if (!section(i, name, offset, size) || name >= names.size())
            continue;
        std::string_view sectionName = names.substr(name);
        sectionName = sectionName.substr(0, sectionName.find('\0'));
        if (sectionName == ".lumver")
            return bytes.substr(offset, size);
    }
    return {};
}

bool ValueInBlock(std::string_view block, std::string_view key, std::string& value) {
    if (block.substr(0, kMagic.size()) != kMagic)
        return false;
    size_t at = kMagic.size();
    const auto next = [&](std::string_view& field) {
        const size_t end = block.find('\0', at);
        if (end == std::string_view::npos)
            return false;
        field = block.substr(at, end - at);
        at = end + 1;
        return true;
    };
    std::string_view name, text;
    while (next(name) && !name.empty() && next(text)) {
        if (name == key) {
            value = std::string(text);
            return true;
        }
    }
    return false;
}

} // namespace

bool QueryVersionValueIn(std::string_view bytes, std::string_view key, std::string& value) {
    if (const std::string_view section = ElfVersionSection(bytes); !section.empty())
        return ValueInBlock(section, key, value);
    if (bytes.substr(0, 4) == std::string_view("\x7f"
                                               "ELF",
                                               4))
        return false;
    const size_t at = bytes.find(kMagic);
    return at != std::string_view::npos && ValueInBlock(bytes.substr(at), key, value);
}

bool QueryVersionValue(std::string_view devicePath, std::string_view key, std::string& value) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(devicePath, bytes))
        return false;
    return QueryVersionValueIn(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                               key, value);
}

} // namespace platform
