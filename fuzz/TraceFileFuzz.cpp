// Arbitrary bytes as a ".st" file, read as both programs read it: no read may crash, and an accepted file
// holds exactly the points of its block's range.
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::filesystem::path& Directory() {
    static const std::filesystem::path directory = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tracefuzz-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    return directory;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = Directory() / "fuzz.st";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const tracefile::ReaderVariant variant :
         {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
        tracefile::TraceFileContents contents;
        tracefile::TraceReadError error = tracefile::TraceReadError::None;
        const int result = tracefile::ReadTraceFile(file, variant, contents, &error);
        if (result != 0) {
            if (result != -1 || error == tracefile::TraceReadError::None)
                std::abort();
            continue;
        }
        if (!tracefile::IsValidBlock(contents.block, variant) ||
            contents.samples.size() !=
                tracefile::PointsForRange(tracefile::BlockRangeKm(contents.block, variant)) ||
            contents.samples.size() * 4 + tracefile::ParameterBlock::kBytes != size)
            std::abort();
    }
    return 0;
}
