#include "tests/files/TraceFiles.h"

#include "instrument/acquisition/TestParameters.h"

#include "shared/tracefile/TraceFile.h"

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

void UseParameters16km() {
    const std::array<float, 8> values = {16, 1310, 320, 5, 0, 1.4685f, 1.0f, 0.1f};
    for (size_t item = 0; item < values.size(); ++item)
        TestParam.items[item].value = values[item];
    TestWay = {kAveragingTest, 7};
}

std::vector<uint32_t> TraceSamples(uint32_t seed) {
    std::vector<uint32_t> samples(16384);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] = k < 12000 ? 50000 - static_cast<uint32_t>(k) + seed : 3000 + seed;
    return samples;
}

std::string TraceFileBytes(uint32_t seed) {
    const std::vector<uint8_t> bytes = tracefile::EncodeTraceFile(
        TraceSamples(seed),
        tracefile::ParameterBlock::FromParameters({16, 1310, 320, 5, 0, 1.468f, 1.0f, 0.1f}, 7, 0));
    return std::string(bytes.begin(), bytes.end());
}

void WriteTraceFiles(const TempRoot& root, const std::string& folder, const std::vector<std::string>& names,
                     uint32_t seed) {
    for (const std::string& name : names)
        root.Write(folder + "/" + name, TraceFileBytes(seed));
}

std::vector<std::string> Names(const TempRoot& root, const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(root.Path() / folder, error), end; !error && it != end; ++it)
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void SetDate(const TempRoot& root, const std::string& file, int year, int month, int day) {
    std::tm noon{};
    noon.tm_year = year - 1900;
    noon.tm_mon = month - 1;
    noon.tm_mday = day;
    noon.tm_hour = 12;
    noon.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&noon), 0}, {std::mktime(&noon), 0}};
    ::utimensat(AT_FDCWD, (root.Path() / file).c_str(), times, 0);
}
