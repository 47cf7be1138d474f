#pragma once
#include <string>
#include <string_view>

namespace platform {

// A program's version block, kept in its own section of the program file so that it can be read back
// from the file on disk. Use once per program, at namespace scope.
#define PLATFORM_VERSION_BLOCK(productName, productVersion)                                                  \
    extern "C" __attribute__((used, section(".lumver"))) const char lumver_block[] =                         \
        "VS_VERSION_INFO\0"                                                                                  \
        "\\StringFileInfo\\080403a8\\ProductName\0" productName "\0"                                         \
        "\\StringFileInfo\\080403a8\\ProductVersion\0" productVersion "\0"

// Reads one value, such as "\StringFileInfo\080403a8\ProductName", from the version block of the
// program file at an instrument path. A file that is not a program is searched for a block as a
// whole. False when there is no such file, block or value.
bool QueryVersionValue(std::string_view devicePath, std::string_view key, std::string& value);

// The same from bytes in memory.
bool QueryVersionValueIn(std::string_view fileBytes, std::string_view key, std::string& value);

} // namespace platform
