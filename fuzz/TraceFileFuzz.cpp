// Arbitrary bytes as a ".st" file, decoded as both programs decode it: no decode may crash, a refused
// file leaves the trace held alone, an accepted file holds exactly the points of its block's range, and
// encoding what was accepted gives it back.
#include "shared/tracefile/ParameterBlock.h"
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    for (const tracefile::ReaderVariant variant :
         {tracefile::ReaderVariant::Instrument, tracefile::ReaderVariant::Pc}) {
        // A trace already held, which a refused file must not touch.
        tracefile::TraceFileContents contents{{7, 8, 9}, {}};
        contents.block.range = 1600000;
        const tracefile::TraceFileContents held = contents;
        tracefile::TraceReadError error = tracefile::TraceReadError::None;
        const int result = tracefile::DecodeTraceFile(bytes, variant, contents, &error);
        if (result != 0) {
            if (result != -1 || error == tracefile::TraceReadError::None ||
                contents.samples != held.samples || contents.block != held.block)
                __builtin_trap();
            continue;
        }
        if (error != tracefile::TraceReadError::None || !tracefile::IsValidBlock(contents.block, variant) ||
            contents.samples.size() !=
                tracefile::PointsForRange(tracefile::BlockRangeKm(contents.block, variant)) ||
            contents.samples.size() * 4 + tracefile::ParameterBlock::kBytes != size)
            __builtin_trap();

        const std::vector<uint8_t> encoded = tracefile::EncodeTraceFile(contents.samples, contents.block);
        tracefile::TraceFileContents again;
        if (tracefile::DecodeTraceFile(encoded, variant, again) != 0 || again.samples != contents.samples ||
            again.block != contents.block)
            __builtin_trap();
        // Nothing in a file is lost on the way in: what was accepted is re-encoded to the very bytes.
        if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end()))
            __builtin_trap();
    }
    return 0;
}
