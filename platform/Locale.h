#pragma once
#include <string>

namespace platform {

// The user-default locale's language identifier as four hexadecimal digits ("0804" for Chinese, PRC;
// "0409" for English, US): LUMETRA_LOCALE if set, else derived from LC_ALL, LC_MESSAGES or LANG.
std::string UserDefaultLocaleId();

} // namespace platform
