#pragma once
#include <filesystem>
#include <string>
#include <vector>

// A fresh device root for one test, removed afterwards.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    const std::filesystem::path& Path() const { return path_; }
    // Writes raw bytes to a file under the root (a host path relative to it).
    void Write(const std::string& relative, const std::string& bytes) const;
    std::string Read(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

// UTF-16LE bytes of an ASCII/UTF-8 text, as the instrument stores it.
std::string Utf16Bytes(const std::string& utf8);
