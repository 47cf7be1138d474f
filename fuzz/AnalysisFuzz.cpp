// Arbitrary samples and parameters through the event analysis: it must not crash or read outside the
// trace, whatever it reports must be a well-formed table, and its cumulative loss what it promises.
#include "shared/analysis/EventTable.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr float kRanges[] = {0.5f, 1, 2, 4, 8, 16, 32, 64, 128};
constexpr float kPulses[] = {10, 80, 160, 320, 640, 1280, 5120, 10240, 20480};
constexpr size_t kHeader = 30;
// The most points of any range (128 km): longer traces only make every run slower.
constexpr size_t kMaxSamples = 16384;

float FloatAt(const uint8_t* p) {
    float value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

int32_t IntAt(const uint8_t* p) {
    int32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Mostly values the instrument produces, so the scans get past their first checks; sometimes anything.
float Pick(uint8_t selector, const float (&values)[9], const uint8_t* arbitrary) {
    return selector % 10 < 9 ? values[selector % 10] : FloatAt(arbitrary);
}

// (v[8W] - v[position]) x 0.0005 dB, or 0 with a sample outside the trace; the difference is taken
// only where it cannot wrap, as the header leaves wrapping open.
void CheckCumulativeLoss(const analysis::EventTable& table, std::span<const uint32_t> v, uint32_t position) {
    const float loss = table.CumulativeLoss(v, position);
    const uint64_t reference = uint64_t{8} * table.Window();
    if (reference >= v.size() || position >= v.size()) {
        if (loss != 0.0f)
            std::abort();
        return;
    }
    constexpr uint32_t kLargest = std::numeric_limits<int32_t>::max();
    if (v[reference] <= kLargest && v[position] <= kLargest &&
        loss != static_cast<float>(int64_t{v[reference]} - int64_t{v[position]}) * analysis::kDbPerLevel)
        std::abort();
}

void Check(const analysis::EventTable& table, std::span<const uint32_t> v) {
    const int count = table.GetEventCount();
    analysis::EventRecord e;
    if (table.GetEvent(-1, e) != -1 || table.GetEvent(count, e) != -1)
        std::abort();
    uint32_t previous = 0;
    for (int i = 0; i < count; ++i) {
        if (table.GetEvent(i, e) != 0)
            std::abort();
        if (e.position >= v.size() || e.position < previous)
            std::abort();
        if (e.type != analysis::Reflective && e.type != analysis::NonReflective)
            std::abort();
        if (!(e.loss >= 0.0f && e.loss <= 4.0f))
            std::abort();
        previous = e.position;
        CheckCumulativeLoss(table, v, e.position);
    }
    CheckCumulativeLoss(table, v, 0);
    CheckCumulativeLoss(table, v, static_cast<uint32_t>(v.size()));
    if (table.Window() == 0 || (count > 0 && table.End() >= v.size()))
        std::abort();
}

} // namespace

// Layout: mode, range, pulse and wavelength selectors, then raw range, pulse, wavelength, threshold and
// attenuation words, the sample count, and the bytes the samples are made from (repeated to length).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeader)
        return 0;
    const uint8_t mode = data[0];
    const float range = Pick(data[1], kRanges, data + 4);
    const float pulse = Pick(data[2], kPulses, data + 8);
    const float wavelength = data[3] % 3 == 0 ? 1310.0f : data[3] % 3 == 1 ? 1550.0f : FloatAt(data + 12);
    const float threshold = FloatAt(data + 16);
    const int32_t attenuation = IntAt(data + 20);
    const size_t n = (size_t{data[24]} | size_t{data[25]} << 8 | size_t{data[26]} << 16) % (kMaxSamples + 1);
    const uint8_t* body = data + kHeader;
    const size_t bodySize = size - kHeader;

    std::vector<uint32_t> v(n);
    for (size_t k = 0; k < n && bodySize > 0; ++k) {
        if (mode % 2 == 0) {
            uint8_t word[4];
            for (size_t b = 0; b < 4; ++b)
                word[b] = body[(4 * k + b) % bodySize];
            v[k] = static_cast<uint32_t>(IntAt(word));
        } else {
            // A trace-like shape: launch, falling backscatter, a drop to the floor, with the bytes as noise.
            const int64_t noise = static_cast<int8_t>(body[k % bodySize]) * int64_t{1 + mode / 2};
            int64_t level = k < 20 ? 90000 : 50000 - static_cast<int64_t>(k) * data[27] / 16;
            if (k > n * data[28] / 256)
                level = 2000;
            v[k] = static_cast<uint32_t>(std::max<int64_t>(0, level + noise));
        }
    }

    analysis::EventTable table;
    table.AnalyseTrace(v, range, wavelength, pulse, threshold, attenuation);
    Check(table, v);
    // A second run on the same table must replace the first one exactly.
    std::vector<analysis::EventRecord> first(table.Events().begin(), table.Events().end());
    table.AnalyseTrace(v, range, wavelength, pulse, threshold, attenuation);
    Check(table, v);
    if (first.size() != table.Events().size())
        std::abort();
    size_t i = 0;
    for (const analysis::EventRecord& e : table.Events()) {
        if (e.position != first[i].position || e.type != first[i].type ||
            std::memcmp(&e.loss, &first[i].loss, sizeof e.loss) != 0)
            std::abort();
        ++i;
    }
    return 0;
}
