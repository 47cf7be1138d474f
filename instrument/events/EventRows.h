#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace analysis {
class EventTable;
}
class TraceScale;

// One row of the event screens.
struct EventRow {
    int event = 0; // index in the table
    int image = 0; // 1 reflective, 0 non-reflective
    // Number, distance in km, loss in dB ("------" when not measured), cumulative loss in dB; UTF-8.
    std::array<std::string, 4> texts;
};

// The rows of the table in ascending position over the samples the table was analysed from; an event
// that cannot be read has no row. numberFormat: how the screen writes the event number (printf, one %d).
std::vector<EventRow> EventRows(const analysis::EventTable& events, const TraceScale& scale,
                                std::span<const uint32_t> samples, const char* numberFormat);
