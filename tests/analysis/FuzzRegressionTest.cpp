// Inputs the analysis fuzz target found, kept so that their faults stay fixed.
#include "shared/analysis/EventTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Three words far above any trace level, repeated. At 128 km with 20480 ns (W = 256) the launch scan
// sets its first drop at sample 102, and the near-launch rule moves its events back by W / 2 from
// samples below 128: before sample 0, where unsigned arithmetic wraps them to 4294967273 and up. The
// ordering puts such an event last and the end refinement made it the end, far outside the trace.
TEST(AnalysisFuzzRegression, NearLaunchEventBeforeTheFirstSampleNeverBecomesTheEnd) {
    constexpr uint32_t kWords[] = {0x507f6550u, 0x65507f65u, 0x7f65507fu};
    for (const size_t n : {2048u, 16384u}) {
        SCOPED_TRACE(n);
        std::vector<uint32_t> v(n);
        for (size_t k = 0; k < n; ++k)
            v[k] = kWords[k % 3];
        analysis::EventTable table;
        table.AnalyseTrace(v, 128.0f, 1550.0f, 20480.0f, 0.1f, 500000);
        EXPECT_LT(table.End(), n);
        for (const analysis::EventRecord& e : table.Events())
            EXPECT_LT(e.position, n);
    }
}

} // namespace
