#include "tools/otdrtool/TraceInput.h"

#include "shared/sor/TraceConversion.h"

#include <algorithm>
#include <cctype>

namespace {

void Report(const char* command, const std::string& file, const char* reason, std::string& err) {
    err += std::string("otdrtool ") + command + ": " + file + ": " + reason + "\n";
}

} // namespace

bool IsSorName(const std::string& file) {
    constexpr std::string_view kSuffix = ".sor";
    return file.size() > kSuffix.size() &&
           std::equal(kSuffix.begin(), kSuffix.end(), file.end() - kSuffix.size(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool LoadSor(const char* command, const std::string& file, sor::SorFile& sorFile, std::string& err) {
    sor::SorError error = sor::SorError::None;
    if (sor::ReadFile(file, sorFile, &error) == 0)
        return true;
    Report(command, file, sor::Describe(error), err);
    return false;
}

bool LoadTrace(const char* command, const std::string& file, tracefile::TraceFileContents& contents,
               std::string& err) {
    if (IsSorName(file)) {
        sor::SorFile sorFile;
        if (!LoadSor(command, file, sorFile, err))
            return false;
        sor::ImportedTrace imported;
        sor::ConversionError error = sor::ConversionError::None;
        if (sor::ImportTrace(sorFile, 0.0f, imported, &error) != 0) {
            Report(command, file, sor::Describe(error), err);
            return false;
        }
        contents.samples = std::move(imported.samples);
        contents.block = imported.block;
        return true;
    }
    tracefile::TraceReadError error = tracefile::TraceReadError::None;
    if (tracefile::ReadTraceFile(file, tracefile::ReaderVariant::Pc, contents, &error) == 0)
        return true;
    Report(command, file, tracefile::Describe(error), err);
    return false;
}
