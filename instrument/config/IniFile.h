#pragma once
#include <string>

// The instrument's reader and writer of UTF-16LE INI text. Every call reads the whole file afresh and
// every write rewrites it whole; nothing is cached and nothing is thrown.
class IniFile {
public:
    explicit IniFile(std::string devicePath) : path_(std::move(devicePath)) {}

    std::u16string GetString(const std::u16string& section, const std::u16string& key,
                             const std::u16string& defaultValue) const;
    // 1 when the file was written, 0 otherwise: the old file then stays whole, unless only the flush of
    // its folder after the rename failed. Only a missing file is created; one that cannot be opened for
    // reading and writing is left alone.
    int SetString(const std::u16string& section, const std::u16string& key,
                  const std::u16string& value) const;
    int GetInt(const std::u16string& section, const std::u16string& key, int defaultValue) const;
    int SetInt(const std::u16string& section, const std::u16string& key, int value) const;

    const std::string& Path() const { return path_; }

    // The lookup of GetString over a text already in memory.
    static std::u16string GetStringFrom(const std::u16string& text, const std::u16string& section,
                                        const std::u16string& key, const std::u16string& defaultValue);

private:
    std::string path_;
};

// The integer conversion of the instrument's wide-string-to-integer call: leading white space, an
// optional sign, digits up to the first non-digit; no digits give 0; out of range saturates.
int WideToInt(const std::u16string& text);
