#include "instrument/events/EventRows.h"

#include "instrument/display/TraceScale.h"

#include "platform/Numbers.h"

#include "shared/analysis/EventTable.h"

#include <cstdio>

std::vector<EventRow> EventRows(const analysis::EventTable& events, const TraceScale& scale,
                                std::span<const uint32_t> samples, const char* numberFormat) {
    // The factors of the trace shown, not the current test parameters: a trace opened from a file may
    // have been measured with another range, index or cable ratio, and its distances follow its own.
    const double kmPerSample = scale.KmPerSample();
    std::vector<EventRow> rows;
    for (int i = 0; i < events.GetEventCount(); ++i) {
        analysis::EventRecord event;
        if (events.GetEvent(i, event) != 0)
            continue;
        EventRow row;
        row.event = i;
        row.image = event.type == analysis::Reflective ? 1 : 0;
        char number[32];
        std::snprintf(number, sizeof number, numberFormat, i);
        row.texts[0] = number;
        row.texts[1] = platform::FormatFixed(event.position * kmPerSample, 3);
        row.texts[2] = event.loss == 0.0f ? "------" : platform::FormatFixed(event.loss, 2);
        row.texts[3] = platform::FormatFixed(events.CumulativeLoss(samples, event.position), 4);
        rows.push_back(std::move(row));
    }
    return rows;
}
