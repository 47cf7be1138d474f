#include "instrument/acquisition/SmoothingFilter.h"

#include <vector>

namespace {

constexpr double kTaps[13] = {0.0654, 0.0708, 0.0756, 0.0795, 0.0823, 0.0841, 0.0847,
                              0.0841, 0.0823, 0.0795, 0.0756, 0.0708, 0.0654};

} // namespace

void SmoothingFilter(std::span<int32_t> values) {
    const auto n = static_cast<int64_t>(values.size());
    if (n == 0)
        return;
    // Reflection about an end needs the mirrored sample to exist; a very short trace mirrors as often
    // as it must.
    const auto at = [&](int64_t k, const std::vector<int32_t>& x) {
        while (k < 0 || k >= n) {
            if (n == 1)
                return x[0];
            k = k < 0 ? -k : 2 * (n - 1) - k;
        }
        return x[static_cast<size_t>(k)];
    };
    const std::vector<int32_t> input(values.begin(), values.end());
    for (int64_t k = 0; k < n; ++k) {
        double acc = 0.0;
        for (int t = 0; t < 13; ++t) {
            const int32_t x = at(k + t - 6, input);
            acc = static_cast<double>(static_cast<int64_t>(x * kTaps[t] + acc));
        }
        values[static_cast<size_t>(k)] = static_cast<int32_t>(acc);
    }
}
