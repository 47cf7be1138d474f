#pragma once
#include <filesystem>
#include <string>

// A program file as the updater sees one: a shell script that leaves `marker` when started, followed by
// a version block that the shell, ended by then, never reads.
inline std::string ProgramFile(const std::string& name, const std::string& version,
                               const std::filesystem::path& marker, size_t padding = 0) {
    using namespace std::string_literals;
    return "#!/bin/sh\ntouch '" + marker.string() + "'\nexit 0\n" + std::string(padding, '#') + "\n" +
           "VS_VERSION_INFO\0\\StringFileInfo\\080403a8\\ProductName\0"s + name +
           "\0\\StringFileInfo\\080403a8\\ProductVersion\0"s + version + "\0\0"s;
}
