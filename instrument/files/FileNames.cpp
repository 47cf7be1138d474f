#include "instrument/files/FileNames.h"

#include <cstdio>

std::string DefaultFileName(const platform::LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2d%.2d%.2d%.2d%.2d%.2d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    // The four-digit year loses its century.
    return std::string(text).substr(2);
}

const char* Describe(FileNameError error) {
    switch (error) {
    case FileNameError::None:
        return "no error";
    case FileNameError::Empty:
        return "no name";
    case FileNameError::TooLong:
        return "longer than 64 characters";
    case FileNameError::ControlCharacter:
        return "holds a control character";
    case FileNameError::Separator:
        return "holds a folder separator";
    case FileNameError::ParentFolder:
        return "holds \"..\"";
    case FileNameError::DriveOrColon:
        return "holds a drive or colon";
    case FileNameError::ReservedCharacter:
        return "holds one of * ? \" < > |";
    case FileNameError::EdgeBlankOrDot:
        return "begins or ends with a blank or a dot";
    }
    return "unknown error";
}

namespace {

int Fail(FileNameError reason, FileNameError* error) {
    if (error)
        *error = reason;
    return 0;
}

// Continuation bytes of UTF-8 do not start a character.
size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

bool IsBlankOrDot(char c) {
    return c == ' ' || c == '.';
}

} // namespace

int CheckFileName(std::string_view name, FileNameError* error) {
    if (error)
        *error = FileNameError::None;
    if (name.empty())
        return Fail(FileNameError::Empty, error);
    if (CharacterCount(name) > kLongestFileName)
        return Fail(FileNameError::TooLong, error);
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return Fail(FileNameError::ControlCharacter, error);
        if (c == '\\' || c == '/')
            return Fail(FileNameError::Separator, error);
        if (c == ':')
            return Fail(FileNameError::DriveOrColon, error);
        if (c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
            return Fail(FileNameError::ReservedCharacter, error);
    }
    if (name.find("..") != std::string_view::npos)
        return Fail(FileNameError::ParentFolder, error);
    if (IsBlankOrDot(name.front()) || IsBlankOrDot(name.back()))
        return Fail(FileNameError::EdgeBlankOrDot, error);
    return 1;
}
