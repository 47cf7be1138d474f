#pragma once
#include "shared/analysis/EventTable.h"
#include "shared/sor/SorFile.h"
#include "shared/tracefile/ParameterBlock.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Between SOR files and the instrument's traces: a SOR trace resampled onto the instrument's grid, and an
// instrument trace with its events written as SOR.
namespace sor {

// An event of a ".st" trace, as the analysis or the user's editing leaves it.
struct TraceEvent {
    uint32_t position = 0; // sample
    bool reflective = false;
    bool end = false;    // the fibre end
    float lossDb = 0.0f; // 0: not measured
};

// The table's events; the one at the end the analysis found is the fibre end.
std::vector<TraceEvent> AnalysedEvents(const analysis::EventTable& table);

struct ImportedTrace {
    std::vector<uint32_t> samples;
    tracefile::ParameterBlock block;
    double traceKm = 0.0; // the file's trace from the front panel, at its index
    bool cut = false;     // the trace runs past the range and was cut there
};

enum class ConversionError {
    None,
    NoTrace,
    NoTimebase,
    IndexOutsideLimits,
    UnknownRange,
    TooFewSamples,
    LevelsTooLarge,
    InvalidParameters,
};
const char* Describe(ConversionError error);

// Resamples the file's trace onto the instrument's grid for a range of rangeKm, or when that is 0 the
// shortest range that holds the trace (128 km, cut, when none does). Levels are counted up from the
// file's noise floor where at least half the trace lies above it, else from its weakest point; below
// the floor is the instrument's 0. 0, or -1 with the reason
// in error.
int ImportTrace(const SorFile& file, float rangeKm, ImportedTrace& imported,
                ConversionError* error = nullptr);

// What a written file says of where it comes from.
struct ExportOrigin {
    uint32_t dateTime = 0; // seconds since 1970
    std::string program;   // "otdrtool", "OTDR"
    std::string version;
};

// The trace, its parameters and the events as an issue 2 SOR file, with this system's block of exact
// levels and parameters. 0, or -1 with the reason in error
// (a block neither program would open, or fewer samples than the analysis needs to be a trace).
int ExportTrace(std::span<const uint32_t> samples, const tracefile::ParameterBlock& block,
                std::span<const TraceEvent> events, const ExportOrigin& origin, SorFile& file,
                ConversionError* error = nullptr);

// The dB below the file's top of every point of the first pulse setting, whatever the scale factors.
std::vector<double> PointsDb(const SorFile& file);

} // namespace sor
