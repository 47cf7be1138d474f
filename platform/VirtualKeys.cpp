#include "platform/VirtualKeys.h"

#include <cstring>

namespace platform {
namespace {

struct NamedKey {
    uint32_t vk;
    const char* name;
};

constexpr NamedKey kTraced[] = {
    {VK_RETURN, "VK_RETURN"}, {VK_ESCAPE, "VK_ESCAPE"}, {VK_LEFT, "VK_LEFT"}, {VK_UP, "VK_UP"},
    {VK_RIGHT, "VK_RIGHT"},   {VK_DOWN, "VK_DOWN"},     {VK_T, "T"},          {VK_V, "V"},
    {VK_F1, "VK_F1"},         {VK_F2, "VK_F2"},         {VK_F3, "VK_F3"},     {VK_F4, "VK_F4"},
};

constexpr NamedKey kOthers[] = {
    {VK_BACK, "VK_BACK"},
    {VK_TAB, "VK_TAB"},
    {VK_SPACE, "VK_SPACE"},
    {VK_DELETE, "VK_DELETE"},
    {VK_F12, "VK_F12"},
    {VK_DECIMAL, "VK_DECIMAL"},
    {VK_OEM_PERIOD, "VK_OEM_PERIOD"},
};

} // namespace

const char* KeyName(uint32_t vk) {
    for (const NamedKey& key : kTraced)
        if (key.vk == vk)
            return key.name;
    return nullptr;
}

uint32_t KeyFromName(const char* name) {
    for (const NamedKey& key : kTraced)
        if (std::strcmp(key.name, name) == 0)
            return key.vk;
    for (const NamedKey& key : kOthers)
        if (std::strcmp(key.name, name) == 0)
            return key.vk;
    // "F1" as short for "VK_F1".
    if (name[0] == 'F' && name[1] >= '1' && name[1] <= '9') {
        const int n =
            name[2] == '\0' ? name[1] - '0' : (name[3] == '\0' ? (name[1] - '0') * 10 + name[2] - '0' : 0);
        return n >= 1 && n <= 12 ? VK_F1 + static_cast<uint32_t>(n - 1) : 0;
    }
    if (name[0] != '\0' && name[1] == '\0') {
        const char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return static_cast<uint32_t>(c);
        if (c >= 'a' && c <= 'z')
            return static_cast<uint32_t>(c - 'a' + 'A');
        if (c == '.')
            return VK_OEM_PERIOD;
    }
    return 0;
}

} // namespace platform
