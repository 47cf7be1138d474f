#include "platform/Locale.h"

#include <cstdlib>
#include <string_view>

namespace platform {
namespace {

struct LocaleName {
    std::string_view prefix;
    const char* id;
};

// Longer prefixes first, so that "zh_TW" wins over "zh".
constexpr LocaleName kLocales[] = {
    {"zh_CN", "0804"}, {"zh_SG", "1004"}, {"zh_TW", "0404"}, {"zh_HK", "0c04"}, {"zh", "0804"},
    {"en_GB", "0809"}, {"en", "0409"},    {"de", "0407"},    {"fr", "040c"},    {"es", "0c0a"},
    {"it", "0410"},    {"ja", "0411"},    {"ko", "0412"},    {"ru", "0419"},    {"pt", "0816"},
};

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

} // namespace

std::string UserDefaultLocaleId() {
    if (const char* forced = Variable("LUMETRA_LOCALE"))
        return forced;
    const char* name = Variable("LC_ALL");
    if (!name)
        name = Variable("LC_MESSAGES");
    if (!name)
        name = Variable("LANG");
    if (name) {
        const std::string_view text(name);
        for (const LocaleName& locale : kLocales)
            if (text.substr(0, locale.prefix.size()) == locale.prefix)
                return locale.id;
    }
    return "0409";
}

} // namespace platform
