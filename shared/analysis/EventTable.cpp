#include "shared/analysis/EventTable.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace analysis {

// Reads never leave the trace: where a step would read before sample 0 or past the last sample, that
// scan or walk stops there (or skips the candidate), and a trace shorter than 4W + 2 samples gives an
// empty table.

namespace {

using EventList = std::list<EventRecord>;

// A difference of two samples as the signed integer the instrument computes.
int64_t Diff(uint32_t a, uint32_t b) {
    return static_cast<int32_t>(a - b);
}

// A non-negative float truncated to an unsigned word, saturating where the value does not fit.
uint32_t ToWord(float value) {
    if (!(value > 0.0f))
        return 0;
    if (value >= 4294967296.0f)
        return UINT32_MAX;
    return static_cast<uint32_t>(value);
}

uint32_t WindowFor(float range, uint32_t pulse, uint32_t previous) {
    uint32_t window = 0;
    if (range == 0.5f || range == 1.0f)
        window = pulse * 5 / 10;
    else if (range == 2.0f || range == 4.0f || range == 8.0f)
        window = pulse * 2 / 10;
    else if (range == 16.0f)
        window = pulse / 10;
    else if (range > 8.0f)
        window = pulse / 80;
    else
        return previous;
    return window == 0 ? 1 : window;
}

struct SlopeThresholds {
    float fall;
    float rise;
};

std::optional<SlopeThresholds> SlopeThresholdsFor(float range, float wavelength) {
    const bool at1310 = wavelength == 1310.0f;
    if (range == 0.5f || range == 1.0f)
        return at1310 ? SlopeThresholds{-2.176f, 1.088f} : SlopeThresholds{-1.28f, 0.64f};
    if (range == 2.0f || range == 4.0f || range == 8.0f)
        return at1310 ? SlopeThresholds{-5.44f, 2.72f} : SlopeThresholds{-3.2f, 1.6f};
    if (range == 16.0f)
        return at1310 ? SlopeThresholds{-10.88f, 5.44f} : SlopeThresholds{-6.4f, 3.2f};
    if (range == 32.0f || range == 64.0f || range == 128.0f)
        return at1310 ? SlopeThresholds{-87.04f, 20.0f} : SlopeThresholds{-51.2f, 25.6f};
    return std::nullopt;
}

uint32_t MergeDistanceFor(float range) {
    if (range <= 0.5f)
        return 256;
    if (range <= 1.0f)
        return 512;
    if (range <= 8.0f)
        return 2048;
    if (range <= 16.0f)
        return 1024;
    return 128;
}

struct Suppression {
    float afterReflective;
    float nonReflectiveAfterReflective;
};

Suppression SuppressionFor(float pulse, uint32_t classValue) {
    const bool wide = classValue > 999;
    if (pulse <= 10.0f)
        return wide ? Suppression{14, 14} : Suppression{4, 4};
    if (pulse <= 80.0f)
        return wide ? Suppression{10, 10} : Suppression{1, 1};
    if (pulse <= 160.0f)
        return wide ? Suppression{30, 30} : Suppression{1, 1};
    if (pulse <= 320.0f)
        return wide ? Suppression{15, 15} : Suppression{0.5f, 0.5f};
    if (pulse <= 1280.0f)
        return wide ? Suppression{15, 15} : Suppression{0.25f, 0.25f};
    if (pulse <= 5120.0f)
        return wide ? Suppression{4, 2} : Suppression{0.25f, 0.25f};
    return wide ? Suppression{2, 0.5f} : Suppression{0.25f, 0.25f};
}

// Least-squares slope over 8 samples x0, x0 + s, ..., x0 + 7s, with the sum of their levels kept
// running as the scan slides by s.
class EightPointSlope {
public:
    EightPointSlope(std::span<const uint32_t> v, uint32_t spacing) : v_(v), s_(spacing) {}

    float At(uint32_t x0) {
        if (x0 != start_ || !valid_) {
            if (valid_ && x0 == start_ + s_) {
                sumY_ += uint64_t{v_[x0 + 7 * s_]} - v_[start_];
            } else {
                sumY_ = 0;
                for (uint32_t k = 0; k < 8; ++k)
                    sumY_ += v_[x0 + k * s_];
            }
            start_ = x0;
            valid_ = true;
        }
        const uint64_t sumX = uint64_t{8} * x0 + uint64_t{28} * s_;
        const float meanX = static_cast<float>(sumX) * 0.125f;
        const float meanY = static_cast<float>(sumY_) * 0.125f;
        float products = 0.0f, squares = 0.0f;
        for (uint32_t k = 0; k < 8; ++k) {
            const uint32_t x = x0 + k * s_;
            const auto dx = static_cast<int64_t>(static_cast<float>(x) - meanX);
            const auto dy = static_cast<int64_t>(static_cast<float>(v_[x]) - meanY);
            products += static_cast<float>(dx * dy);
            squares += static_cast<float>(dx * dx);
        }
        return squares == 0.0f ? 0.0f : products / squares;
    }

private:
    std::span<const uint32_t> v_;
    uint32_t s_;
    uint32_t start_ = 0;
    uint64_t sumY_ = 0;
    bool valid_ = false;
};

struct FootResult {
    bool success = false;
    uint32_t position = 0;
};

// Searches back from a0 for the foot of the rising edge that ends there.
FootResult BackwardFootSearch(std::span<const uint32_t> v, uint32_t a0, uint32_t window) {
    const auto n = static_cast<uint32_t>(v.size());
    uint32_t maxLevel = v[a0], minLevel = v[a0], maxPos = a0, minPos = a0;
    uint32_t blocks = 0, blockStart = a0;
    const uint64_t scanEnd = std::min<uint64_t>(uint64_t{a0} + 2 * uint64_t{window}, n);
    while (minPos >= maxPos || minPos == a0) {
        if (blockStart <= window || blocks > 9)
            break;
        blockStart -= window;
        for (uint64_t k = blockStart; k < scanEnd; ++k) {
            const uint32_t level = v[k];
            if (level < minLevel) {
                minLevel = level;
                minPos = static_cast<uint32_t>(k >= 3 ? k - 2 : k);
            }
            if (level > maxLevel) {
                maxLevel = level;
                maxPos = static_cast<uint32_t>(k);
            }
        }
        ++blocks;
    }
    FootResult result;
    result.success = maxPos >= minPos && maxLevel - minLevel > 5000;
    result.position = a0;
    if (!result.success)
        return result;
    bool armed = true, found = false;
    int count = 0;
    int64_t bestRise = 0;
    for (int64_t j = maxPos; j >= minPos; --j) {
        // Both neighbours must be inside the trace.
        if (j < 1 || j + 1 >= n)
            continue;
        const auto at = static_cast<uint32_t>(j);
        const int64_t rise = Diff(v[at + 1], v[at]);
        if (v[at - 1] >= v[at] && armed && rise > bestRise) {
            result.position = at;
            bestRise = rise;
            found = true;
            armed = false;
            count = 0;
        }
        if (v[at - 1] < v[at] && at < result.position && found) {
            armed = true;
            ++count;
        }
    }
    if (count > 4)
        result.position = a0;
    return result;
}

// Where a reflective event found by its rise at risePos and fall at fallPos is placed.
uint32_t PlaceReflective(std::span<const uint32_t> v, float pulse, uint32_t window, uint32_t risePos,
                         uint32_t fallPos) {
    if (pulse <= 10.0f)
        return risePos;
    const auto n = static_cast<uint32_t>(v.size());
    uint32_t position = fallPos < window / 2 ? risePos : fallPos - window / 2;
    uint32_t maxLevel = v[risePos], minLevel = v[risePos], maxPos = risePos, minPos = risePos;
    uint64_t block = risePos;
    uint64_t lastBlock = risePos;
    for (int scanned = 0; scanned < 10 && block < n; ++scanned) {
        if (scanned > 0 && minPos < maxPos && minPos != lastBlock)
            break;
        const uint64_t end = std::min<uint64_t>(block + window, n);
        for (uint64_t k = block; k < end; ++k) {
            if (v[k] > maxLevel) {
                maxLevel = v[k];
                maxPos = static_cast<uint32_t>(k);
            }
            if (v[k] < minLevel) {
                minLevel = v[k];
                minPos = static_cast<uint32_t>(k >= 3 ? k - 2 : k);
            }
        }
        lastBlock = block;
        block += window;
    }
    if (minPos >= maxPos)
        return position;
    position = minPos;
    int64_t bestRise = 0;
    for (uint32_t j = maxPos; j > minPos; --j) {
        // The five samples after j must exist for its test; the first samples need none before them.
        if (uint64_t{j} + 5 >= n)
            continue;
        const int64_t rise = Diff(v[j + 1], v[j]);
        if (v[j - 1] < v[j] || rise <= bestRise)
            continue;
        bool accept = j < 6;
        if (!accept) {
            uint64_t after = 0, before = 0;
            for (uint32_t k = 1; k <= 5; ++k)
                after += v[j + k];
            for (uint32_t k = 0; k < 5; ++k)
                before += v[j - k];
            accept = static_cast<int64_t>(after / 5) - static_cast<int64_t>(before / 5) > 200;
        }
        if (accept) {
            position = j;
            bestRise = rise;
        }
    }
    return position;
}

} // namespace

Line FitLine(std::span<const uint32_t> v, uint32_t start, uint32_t count) {
    if (start >= v.size())
        count = 0;
    else
        count = static_cast<uint32_t>(std::min<uint64_t>(count, v.size() - start));
    const float divisor = static_cast<float>(count == 0 ? 1 : count);
    float sumY = 0.0f, sumX = 0.0f;
    for (uint32_t k = 0; k < count; ++k) {
        sumY += static_cast<float>(v[start + k]);
        sumX += static_cast<float>(start + k);
    }
    const float meanY = sumY / divisor;
    const float meanX = sumX / divisor;
    float products = 0.0f, squares = 0.0f;
    for (uint32_t k = 0; k < count; ++k) {
        const float x = static_cast<float>(start + k);
        const auto dy = static_cast<int64_t>(static_cast<float>(v[start + k]) - meanY);
        const auto dx = static_cast<int64_t>(x - meanX);
        products += static_cast<float>(dy) * (x - meanX);
        squares += static_cast<float>(dx * dx);
    }
    Line line;
    line.slope = squares == 0.0f ? 0.0f : products / squares;
    line.intercept = meanY - line.slope * meanX;
    return line;
}

float MeasureSpliceLoss(std::span<const uint32_t> v, const LossWindow& window) {
    if (window.leftStart >= window.eventPosition || window.rightStart >= window.rightEnd)
        return 0.0f;
    const Line left = FitLine(v, window.leftStart, window.eventPosition - window.leftStart);
    const Line right = FitLine(v, window.rightStart, window.rightEnd - window.rightStart);
    const auto x = static_cast<float>(window.eventPosition);
    const float loss =
        std::fabs((left.slope * x + left.intercept) - (right.slope * x + right.intercept)) * kDbPerLevel;
    return loss > 4.0f ? 0.0f : loss;
}

int EventTable::GetEvent(int i, EventRecord& event) const {
    if (i < 0 || i >= GetEventCount())
        return -1;
    event = *std::next(events_.begin(), i);
    return 0;
}

float EventTable::CumulativeLoss(std::span<const uint32_t> v, uint32_t position) const {
    const uint64_t reference = uint64_t{8} * window_;
    if (reference >= v.size() || position >= v.size())
        return 0.0f;
    return static_cast<float>(Diff(v[reference], v[position])) * kDbPerLevel;
}

namespace {

// One run of the analysis: the trace and its parameters, what each stage leaves for the next, and the
// table members the stages write.
struct Analysis {
    const std::span<const uint32_t> v; // the samples, level units
    const float range;
    const float wavelength;
    const float pulseWidth;
    const float threshold;
    EventList& events;
    EventRecord& pending;
    LossWindow& lossWindow;
    float& fallThreshold;
    float& riseThreshold;
    const uint32_t n; // the sample count, capped where a 32-bit index ends
    const uint32_t W; // the window: the samples a pulse spreads an event over
    const uint32_t H; // a level more than H below Mx is outside a strong stretch
    const uint32_t Q; // the merge distance; a non-reflective loss also needs Q samples on each side
    uint32_t Mx = 0;  // the launch peak: the highest level of the first 100 samples
    // The first sample after 100 below Mx, where the launch falls off; 0 if none or the peak is at sample 0.
    uint32_t g = 0;
    // Where the last strong stretch after g starts, or W/2 before its end if it starts within 20 of g; 0 if
    // there is none.
    uint32_t S = 0;
    // The reflective scan goes on from the launch scan's last stretch, open or closed.
    bool inStrong = false;
    uint32_t E = 0; // the fibre end: the scans stop there and the last loss is measured up to it

    void LaunchScan();
    void ReflectiveScan();
    void NonReflectiveScan();
    void FindEnd();
    void Order();
    void Suppress();
    void RefineEnd();
    void Merge();
    void MeasureLosses();
};

// Not a member of Analysis: no call then takes the state's address, and the stages keep it in registers.
EventList::iterator Append(EventList& events, EventRecord& pending, uint32_t position, int32_t type) {
    pending = EventRecord{position, type, 0.0f};
    events.push_back(pending);
    return std::prev(events.end());
}

void Analysis::LaunchScan() {
    uint32_t m = 0; // where Mx is
    for (uint32_t k = 0; k < n; ++k) {
        if (k < 100 && v[k] > Mx) {
            Mx = v[k];
            m = k;
        } else if (k > 100 && v[k] < Mx && g < m) {
            g = k;
        } else {
            const bool below = v[k] < Mx - H;
            if (!below && g != 0 && k > g && !inStrong) {
                S = k;
                inStrong = true;
            } else if (below && g != 0 && k > g && inStrong) {
                if (S - g < 20)
                    S = k - W / 2;
                inStrong = false;
            }
        }
    }
}

void Analysis::ReflectiveScan() {
    E = n - 2 * W;
    int64_t D = 0; // a running sum of the one-sample differences over about 2W samples ahead of i
    for (uint32_t k = 2 * W; k < 4 * W; ++k)
        D += Diff(v[k + 1], v[k]);
    int64_t t = Diff(v[2 * W + 1], v[2 * W]); // the difference at i, taken out of D on the next step
    std::array<int64_t, 8> ring{D, 0, 0, 0, 0, 0, 0, 0};
    uint64_t c = 0; // steps taken; ring[c % 8] holds the latest D
    int64_t riseMax = 0, fallMin = 0;
    uint32_t risePos = 0, fallPos = 0;
    uint32_t pS = 0;                // where the last near-launch event was placed, or would have been
    auto nearLaunch = events.end(); // the near-launch event while it may still be withdrawn
    for (uint32_t i = 2 * W + 1; i < E; ++i) {
        const uint32_t x = v[i + 2 * W - 1]; // the sample at the front of D's span
        if (((S == 0 || S == n - 2 * W) && x < 6000) || i == S) {
            E = i;
            break;
        }
        uint32_t j = i + g - 2 * W; // the near-launch sample this step tests against Mx - H
        if (j < E && j <= 2 * W && g != 0) {
            const bool below = v[j] < Mx - H;
            if (!below && !inStrong) {
                nearLaunch = Append(events, pending, j, Reflective);
                pS = j;
                inStrong = true;
            } else if (below && inStrong) {
                if (pS - g < 20) {
                    // Moved back before sample 0 there is no place for it: nothing is appended.
                    j = j >= W / 2 ? j - W / 2 : 0;
                    pS = j;
                    if (nearLaunch != events.end()) {
                        events.erase(nearLaunch);
                        nearLaunch = events.end();
                    }
                    if (g < j)
                        Append(events, pending, pS, Reflective);
                }
                inStrong = false;
            }
        }
        ++c;
        D = D + (static_cast<int64_t>(x) - v[i + 2 * W - 2]) - t;
        t = Diff(v[i + 1], v[i]);
        ring[c % 8] = D;
        int64_t total = 0;
        for (const int64_t slot : ring)
            total += slot;
        const int64_t G = total / 8; // D averaged over the last 8 steps
        if (G > 980 && G > riseMax) {
            riseMax = G;
            risePos = i;
        }
        if (G < -1000 && G < fallMin && riseMax > 0) {
            fallMin = G;
            fallPos = i;
        }
        const int64_t spread = static_cast<int64_t>(fallPos) - risePos;
        if (spread > 0 && spread < 200) {
            Append(events, pending, PlaceReflective(v, pulseWidth, W, risePos, fallPos), Reflective);
            riseMax = fallMin = 0;
            risePos = fallPos = 0;
        }
        if (std::llabs(D) > 26000 && i > 10 * W && i >= S) {
            E = i;
            break;
        }
    }
}

void Analysis::NonReflectiveScan() {
    if (const auto thresholds = SlopeThresholdsFor(range, wavelength)) {
        fallThreshold = thresholds->fall;
        riseThreshold = thresholds->rise;
    }
    const int64_t r = range <= 16.0f ? 2 : 4; // a one-sample step beyond r places the event
    const uint32_t s = W < 8 ? 1 : W / 8;     // the spacing of the eight samples a slope is fitted to

    // Each pass reads up to a + max(8s, 2W); it ends before that would pass the last sample.
    const uint64_t reach = std::max<uint64_t>(uint64_t{8} * s, uint64_t{2} * W);
    const auto fits = [&](uint64_t a) { return a < E && a + reach < n; };
    EightPointSlope slope(v, s);
    std::array<float, 8> slots{};
    uint64_t a = uint64_t{8} * W + uint64_t{7} * s; // the scan position
    bool restart = true;
    while (fits(a)) {
        const auto at = static_cast<uint32_t>(a);
        if (restart) {
            for (uint32_t k = 0; k < 7; ++k)
                slots[k] = slope.At(at - 7 * s + k * s);
            restart = false;
        }
        slots[7] = slope.At(at);
        const int64_t mag = std::llabs(Diff(v[at + 2 * W], v[at]));
        float sum = 0.0f;
        for (const float slot : slots)
            sum += slot;
        const auto firstStep = [&](bool signedRise) -> std::optional<uint32_t> {
            for (uint32_t k = 0; k + 2 <= 8 * s; ++k) {
                const int64_t step = Diff(v[at + k + 1], v[at + k]);
                if ((signedRise ? step : std::llabs(step)) > r)
                    return k;
            }
            return std::nullopt;
        };
        const auto nonReflectiveAt = [&](std::optional<uint32_t> offset) {
            if (offset) {
                a += *offset;
                if (a < E)
                    Append(events, pending, static_cast<uint32_t>(a), NonReflective);
            }
            a += uint64_t{6} * W;
            restart = true;
        };
        if (sum < fallThreshold && mag <= 500) {
            nonReflectiveAt(firstStep(false));
            continue;
        }
        bool large = false;
        if (mag > 500)
            for (const float slot : slots)
                large = large || slot > 300.0f;
        if (!large) {
            if (sum > riseThreshold && slots[7] < 50.0f && mag < 300) {
                nonReflectiveAt(firstStep(true));
            } else {
                std::copy(slots.begin() + 1, slots.end(), slots.begin());
                a += s;
            }
            continue;
        }
        if (static_cast<int64_t>(v[at + W]) > static_cast<int64_t>(v[at]) + 300) {
            uint32_t best = 0;
            int64_t bestRise = 0;
            for (uint32_t k = 0; k + 2 <= 8 * s; ++k) {
                const int64_t rise = Diff(v[at + k + 1], v[at + k]);
                if (rise > bestRise) {
                    bestRise = rise;
                    best = k;
                }
            }
            a += best;
            if (a < E) {
                const FootResult foot = BackwardFootSearch(v, static_cast<uint32_t>(a), W);
                if (foot.success)
                    Append(events, pending, foot.position, Reflective);
            }
            a += uint64_t{8} * W;
            restart = true;
        } else {
            a += s;
        }
    }
}

void Analysis::FindEnd() {
    if (E < n) {
        const FootResult foot = BackwardFootSearch(v, E, W);
        if (foot.success)
            Append(events, pending, foot.position, Reflective);
    }
}

// Of equal positions the later-found comes first.
void Analysis::Order() {
    EventList ordered;
    while (!events.empty()) {
        const uint32_t first = events.front().position;
        for (auto it = std::next(events.begin()); it != events.end();) {
            const auto next = std::next(it);
            if (it->position <= first)
                ordered.splice(ordered.end(), events, it);
            it = next;
        }
        ordered.splice(ordered.end(), events, events.begin());
    }
    events.swap(ordered);
}

// Events in the dead zone after a reflective event go.
void Analysis::Suppress() {
    const uint32_t classValue = ToWord(static_cast<float>(E) * pulseWidth / 10.0f / static_cast<float>(W));
    const Suppression suppression = SuppressionFor(pulseWidth, classValue);
    if (events.empty())
        return;
    auto o = events.begin(); // the last event kept: the next is measured from it
    for (auto next = std::next(o); next != events.end();) {
        const auto distance = static_cast<float>(next->position - o->position);
        const bool reflectiveBefore = o->type == Reflective;
        if (reflectiveBefore && next->type == Reflective && distance <= W * suppression.afterReflective)
            next = events.erase(next);
        else if (reflectiveBefore && next->type == NonReflective &&
                 distance <= W * suppression.nonReflectiveAfterReflective)
            next = events.erase(next);
        else
            o = next++;
    }
}

void Analysis::RefineEnd() {
    if (events.empty())
        return;
    E = events.back().position;
    const uint32_t half = E / 2;
    for (auto it = std::prev(events.end()); it != events.begin(); --it) {
        if (it->type != Reflective || it->position < half - W || it->position > half + W)
            continue;
        // At the last event itself the slope is zero over zero: nothing changes.
        if (it->position == E)
            break;
        const float slopeToEnd = (static_cast<float>(v[E]) - static_cast<float>(v[it->position])) /
                                 static_cast<float>(E - it->position);
        if (slopeToEnd < -2.5f) {
            E = it->position;
            events.erase(std::next(it), events.end());
        }
        break;
    }
}

// Close non-reflective events merge into the earlier one; the first is never compared.
void Analysis::Merge() {
    if (events.size() < 3)
        return;
    auto later = std::prev(events.end());
    auto earlier = std::prev(later);
    while (earlier != events.begin()) {
        if (earlier->type == NonReflective && later->type == NonReflective &&
            later->position - earlier->position < 3 * Q)
            events.erase(later);
        later = earlier;
        earlier = std::prev(earlier);
    }
}

// Measures each event's loss and drops those that cannot be measured or, non-reflective, fall below the
// threshold.
void Analysis::MeasureLosses() {
    const auto closeToPrevious = [&](const EventRecord& e, const EventRecord& p) {
        return range > 8.0f &&
               static_cast<float>(e.position - p.position) < (range / 21.5f) * static_cast<float>(Q) &&
               std::llabs(Diff(v[e.position], v[p.position])) > 10000;
    };
    const auto measure = [&](uint64_t leftStart, uint64_t leftEnd, uint64_t rightStart, uint64_t rightEnd) {
        lossWindow = LossWindow{static_cast<uint32_t>(leftStart), static_cast<uint32_t>(leftEnd),
                                static_cast<uint32_t>(rightStart), static_cast<uint32_t>(rightEnd)};
        return MeasureSpliceLoss(v, lossWindow);
    };
    for (auto it = events.begin(); it != events.end() && std::next(it) != events.end();) {
        EventRecord& e = *it;
        const EventRecord& next = *std::next(it);
        const bool hasPrevious = it != events.begin();
        uint64_t leftStart;
        if (hasPrevious) {
            const EventRecord& p = *std::prev(it);
            const uint64_t gap = e.position - p.position;
            leftStart = p.position + (p.type == Reflective ? gap * 2 / 3 : gap / 3);
        } else if (e.position < uint64_t{10} * W) {
            leftStart = 1;
        } else {
            leftStart = e.position < Q ? e.position - uint64_t{10} * W : e.position - Q;
        }
        const uint64_t leftEnd = e.position;
        const uint64_t gap = next.position - e.position;
        const uint64_t rightStart = e.position + (e.type == Reflective ? gap * 2 / 3 : gap / 3);
        const uint64_t rightEnd = next.position;
        if (e.type == Reflective) {
            if (hasPrevious &&
                (closeToPrevious(e, *std::prev(it)) || leftEnd < leftStart || rightEnd < rightStart)) {
                it = events.erase(it);
                continue;
            }
            e.loss = measure(leftStart, leftEnd, rightStart, rightEnd);
            ++it;
        } else {
            if (leftEnd < leftStart + Q || rightEnd < rightStart + Q || E < rightStart + Q) {
                it = events.erase(it);
                continue;
            }
            e.loss = measure(leftStart, leftEnd, rightStart, rightEnd);
            it = e.loss > threshold ? std::next(it) : events.erase(it);
        }
    }
    if (events.empty())
        return;
    const auto last = std::prev(events.end());
    EventRecord& e = *last;
    const bool only = last == events.begin();
    uint64_t leftStart;
    if (only)
        leftStart = e.position > uint64_t{10} * W ? e.position - uint64_t{10} * W : (W < e.position ? W : 1);
    else
        leftStart = std::prev(last)->position + (e.position - std::prev(last)->position) / 3;
    const uint64_t leftEnd = e.position;
    const uint64_t rightStart = e.position + uint64_t{e.type == Reflective ? 6u : 4u} * W;
    const uint64_t rightEnd = E + uint64_t{only ? 8u : 12u} * W;
    bool keep;
    if (e.type == Reflective) {
        keep = !(!only && closeToPrevious(e, *std::prev(last))) && leftEnd >= leftStart &&
               rightEnd >= rightStart && rightStart <= n && rightEnd <= n;
        if (keep)
            e.loss = measure(leftStart, leftEnd, rightStart, rightEnd);
    } else {
        keep = leftEnd >= leftStart + Q && rightEnd >= rightStart + Q && E >= rightStart + Q &&
               rightStart <= n && rightEnd <= n;
        if (keep) {
            e.loss = measure(leftStart, leftEnd, rightStart, rightEnd);
            keep = e.loss > threshold;
        }
    }
    if (!keep)
        events.erase(last);
}

} // namespace

void EventTable::AnalyseTrace(std::span<const uint32_t> v, float range, float wavelength, float pulseWidth,
                              float threshold, int32_t attenuation) {
    events_.clear();
    pending_ = EventRecord{65535, 65535, 65535.0f};
    const auto n = static_cast<uint32_t>(std::min<size_t>(v.size(), UINT32_MAX));

    const uint32_t pulse = ToWord(pulseWidth);
    window_ = WindowFor(range, pulse, window_);
    if (uint64_t{4} * window_ + 2 > n) {
        end_ = 0;
        return;
    }

    const int64_t divisor = attenuation / 100000 == 0 ? 1 : attenuation / 100000;
    const int64_t q = static_cast<int64_t>(pulse) / divisor; // the pulse width per whole dB of attenuation
    const uint32_t H = q >= 1024 ? 30000 : (range == 128.0f || range == 64.0f) ? 20000 : 5000;

    Analysis run{.v = v,
                 .range = range,
                 .wavelength = wavelength,
                 .pulseWidth = pulseWidth,
                 .threshold = threshold,
                 .events = events_,
                 .pending = pending_,
                 .lossWindow = lossWindow_,
                 .fallThreshold = fallThreshold_,
                 .riseThreshold = riseThreshold_,
                 .n = n,
                 .W = window_,
                 .H = H,
                 .Q = MergeDistanceFor(range)};
    run.LaunchScan();
    run.ReflectiveScan();
    run.NonReflectiveScan();
    run.FindEnd();
    run.Order();
    run.Suppress();
    run.RefineEnd();
    run.Merge();
    run.MeasureLosses();
    end_ = run.E;
}

} // namespace analysis
