#pragma once
#include <cstdint>
#include <span>

// The 13-tap smoothing of a trace, in place. The ends are extended by reflection about the end point
// (without repeating it); every output comes from unfiltered inputs, accumulated tap by tap and
// truncated after each tap.
void SmoothingFilter(std::span<int32_t> values);
