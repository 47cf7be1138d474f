#include "instrument/config/IniFile.h"

#include "platform/DevicePath.h"
#include "platform/Files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

enum class ReadResult { Ok, Missing, Empty, Failed };

// Reads the file as whole 16-bit units (an odd last byte is dropped). A writer opens it for reading and
// writing, so a file it may not change is never replaced. Only an absent file is Missing: taking any
// other failure for an empty file would write back one section and lose the rest.
ReadResult ReadText(const std::string& devicePath, std::u16string& text, bool forWriting = false) {
    std::filesystem::path location;
    if (!platform::ResolveInRoot(devicePath, location))
        return ReadResult::Failed;
    // Looked at before it is opened: a FIFO would block the open, a device might act on it.
    struct stat info {};
    if (::stat(location.c_str(), &info) != 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    if (!S_ISREG(info.st_mode))
        return ReadResult::Failed;
    const int fd =
        ::open(location.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    if (info.st_size == 0) {
        ::close(fd);
        return ReadResult::Empty;
    }
    const size_t length = static_cast<size_t>(info.st_size) & ~size_t{1};
    try {
        text.assign(length / 2, u'\0');
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return ReadResult::Failed;
    } catch (const std::length_error&) {
        ::close(fd);
        return ReadResult::Failed;
    }
    auto* bytes = reinterpret_cast<char*>(text.data());
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::read(fd, bytes + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == length ? ReadResult::Ok : ReadResult::Failed;
}

bool WriteText(const std::string& devicePath, const std::u16string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return platform::WriteWholeFile(devicePath, {bytes, text.size() * sizeof(char16_t)});
}

struct SectionBody {
    size_t start;
    size_t end;
};

// The body of the first "[" section "]" CR LF header, up to the next "[" or the end of the text.
std::optional<SectionBody> FindSection(const std::u16string& text, const std::u16string& section) {
    const std::u16string header = u"[" + section + u"]\r\n";
    const size_t at = text.find(header);
    if (at == std::u16string::npos)
        return std::nullopt;
    const size_t start = at + section.size() + 4;
    const size_t next = text.find(u'[', start);
    return SectionBody{start, next == std::u16string::npos ? text.size() : next};
}

// Where key "=" first occurs in the body. A substring match: it need not begin a line.
std::optional<size_t> FindKey(const std::u16string& text, const SectionBody& body,
                              const std::u16string& key) {
    const size_t at = text.find(key + u"=", body.start);
    if (at == std::u16string::npos || at > body.end)
        return std::nullopt;
    return at;
}

} // namespace

std::u16string IniFile::GetString(const std::u16string& section, const std::u16string& key,
                                  const std::u16string& defaultValue) const {
    if (section.empty() || key.empty())
        return defaultValue;
    std::u16string text;
    if (ReadText(path_, text) != ReadResult::Ok)
        return defaultValue;
    return GetStringFrom(text, section, key, defaultValue);
}

std::u16string IniFile::GetStringFrom(const std::u16string& text, const std::u16string& section,
                                      const std::u16string& key, const std::u16string& defaultValue) {
    if (section.empty() || key.empty())
        return defaultValue;
    const auto body = FindSection(text, section);
    if (!body)
        return defaultValue;
    const auto at = FindKey(text, *body, key);
    if (!at)
        return defaultValue;
    const size_t valueStart = *at + key.size() + 1;
    const size_t lineEnd = text.find(kLineEnd, valueStart);
    if (lineEnd == std::u16string::npos)
        return defaultValue;
    return text.substr(valueStart, lineEnd - valueStart);
}

int IniFile::SetString(const std::u16string& section, const std::u16string& key,
                       const std::u16string& value) const {
    if (section.empty() || key.empty() || value.empty())
        return 0;
    const std::u16string newLine = key + u"=" + value + u"\r\n";
    const std::u16string newSection = u"[" + section + u"]\r\n" + newLine;
    std::u16string text;
    switch (ReadText(path_, text, true)) {
    case ReadResult::Missing:
    case ReadResult::Empty:
        return WriteText(path_, newSection) ? 1 : 0;
    case ReadResult::Failed:
        return 0;
    case ReadResult::Ok:
        break;
    }
    try {
        const auto body = FindSection(text, section);
        if (!body) {
            text += newSection;
        } else if (const auto at = FindKey(text, *body, key); !at) {
            text.insert(body->start, newLine);
        } else {
            const size_t valueStart = *at + key.size() + 1;
            const size_t lineEnd = text.find(kLineEnd, valueStart);
            if (lineEnd == std::u16string::npos)
                return 0;
            text.replace(valueStart, lineEnd - valueStart, value);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    } catch (const std::length_error&) {
        return 0;
    }
    return WriteText(path_, text) ? 1 : 0;
}

int IniFile::GetInt(const std::u16string& section, const std::u16string& key, int defaultValue) const {
    const std::u16string text = GetString(section, key, u"");
    if (text.empty())
        return defaultValue;
    return WideToInt(text);
}

int IniFile::SetInt(const std::u16string& section, const std::u16string& key, int value) const {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", value);
    return SetString(section, key, std::u16string(digits, digits + std::char_traits<char>::length(digits)));
}

int WideToInt(const std::u16string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
