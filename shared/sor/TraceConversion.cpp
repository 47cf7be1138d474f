#include "shared/sor/TraceConversion.h"

#include "shared/tracefile/RangeGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace sor {

namespace {

constexpr double kLightMetresPerSecond = 299792458.0;
constexpr double kSecondsPerTimeUnit = 1e-10; // the files' 100 ps
// The resolution of a pulse setting's data spacing (100 ps per 10000 points).
constexpr double kSpacingFieldSeconds = kSecondsPerTimeUnit / 10000.0;
constexpr double kDbPerLevel = 0.0005; // the instrument's level unit
// The instrument times its samples for this index; other indexes only change the distance readouts.
constexpr double kGridIndex = 1.5;
constexpr float kRanges[] = {0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 32.0f, 64.0f, 128.0f};
constexpr float kWavelengths[] = {1310.0f, 1550.0f};
// What an import takes where a SOR file says nothing: the instrument's default attenuation and event
// threshold, and a cable ratio that leaves the index as it is.
constexpr float kImportAttenuation = 5.0f;
constexpr float kDefaultThreshold = 0.1f;
// The largest averaging time, in seconds, whose stored word (x 100000) fits.
constexpr uint32_t kLargestAverageSeconds = 21474;
// This system's own block: the trace file's parameter block, whose attenuation and cable ratio SOR has
// no fields for, and its exact levels, which 16-bit points cannot hold for a trace spanning more than
// 32.7675 dB; so that a trace exported and imported again is the same trace.
constexpr char kTraceBlock[] = "LumetraTrace";
constexpr uint16_t kTraceBlockVersion = 100;
// The analysis needs more than four windows; a shorter trace is no measurement.
constexpr size_t kFewestSamples = 64;

double GridSeconds(float rangeKm) {
    const uint32_t points = tracefile::PointsForRange(rangeKm);
    return points == 0 ? 0.0 : rangeKm * 1000.0 / points * kGridIndex / kLightMetresPerSecond;
}

int Fail(ConversionError reason, ConversionError* error) {
    if (error)
        *error = reason;
    return -1;
}

double SorPointSeconds(const FxdParams& fxd) {
    return fxd.pulses.empty() ? 0.0 : fxd.pulses.front().dataSpacing * kSpacingFieldSeconds;
}

// The nearest of the values, the smaller of two as near.
float Nearest(std::span<const float> values, double wanted) {
    float best = values.front();
    for (const float value : values)
        if (std::fabs(value - wanted) < std::fabs(best - wanted))
            best = value;
    return best;
}

// The dB at fractional point x: neighbours blended (a point within a thousandth taken as it is), or
// over `width` points averaged when the grid is coarser than the file's.
double DbAt(std::span<const double> db, double x, double width) {
    const double last = static_cast<double>(db.size() - 1);
    if (width >= 2.0) {
        const auto from = static_cast<size_t>(std::max(0.0, std::ceil(x - width / 2)));
        const auto to = static_cast<size_t>(std::min(last, std::floor(x + width / 2)));
        double sum = 0.0;
        for (size_t j = from; j <= to; ++j)
            sum += db[j];
        return to >= from ? sum / static_cast<double>(to - from + 1) : db[static_cast<size_t>(std::round(x))];
    }
    const double nearest = std::round(x);
    if (std::fabs(x - nearest) < 1e-3 || x >= last)
        return db[static_cast<size_t>(std::min(nearest, last))];
    const auto j = static_cast<size_t>(std::floor(x));
    const double part = x - static_cast<double>(j);
    return db[j] * (1.0 - part) + db[j + 1] * part;
}

void CopyText(std::array<char, 2>& field, const char* text) {
    field = {text[0], text[1]};
}

// How levels go into 16-bit points of dB below a top: the top, a multiple of both steps, is the noise
// floor (the instrument's 0) in whole noise-floor units; a point is unitLevels levels (0.0005 dB each).
struct DataScale {
    uint64_t top = 0;
    uint32_t floorStep = 1;
    uint32_t unitLevels = 0; // 0: the levels are too large for the fields
};

DataScale ScaleFor(uint32_t strongest, uint32_t weakest) {
    // The scale factor fields (x 500) end at 32767 and 65535.
    constexpr uint32_t kLargestFloorStep = 65, kLargestUnit = 131;
    DataScale scale;
    scale.floorStep = strongest / 65535 + 1;
    if (scale.floorStep > kLargestFloorStep)
        return scale;
    for (uint32_t unit = 1; unit <= kLargestUnit; ++unit) {
        const uint64_t step = std::lcm(uint64_t{scale.floorStep}, uint64_t{unit});
        const uint64_t top = (uint64_t{strongest} + step - 1) / step * step;
        if (top / scale.floorStep <= 65535 && (top - weakest + unit / 2) / unit <= 65535) {
            scale.top = top;
            scale.unitLevels = unit;
            break;
        }
    }
    return scale;
}

std::vector<uint8_t> EncodeTraceBlock(std::span<const uint32_t> levels,
                                      const tracefile::ParameterBlock& block) {
    std::vector<uint8_t> bytes(tracefile::ParameterBlock::kBytes);
    block.Encode(std::span<uint8_t, tracefile::ParameterBlock::kBytes>(bytes.data(), bytes.size()));
    bytes.reserve(bytes.size() + levels.size() * 4);
    for (const uint32_t level : levels)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(level >> shift));
    return bytes;
}

struct StoredTrace {
    std::vector<uint32_t> levels; // empty: none
    tracefile::ParameterBlock block;
};

// This system's block, when the file has one that still matches its points (another program may have
// changed the trace and kept the block).
StoredTrace OwnTrace(const SorFile& file, std::span<const double> pointsDb, double floorDb) {
    constexpr size_t kBlockBytes = tracefile::ParameterBlock::kBytes;
    const auto found = std::find_if(file.others.begin(), file.others.end(),
                                    [](const OtherBlock& other) { return other.name == kTraceBlock; });
    if (found == file.others.end() || found->version != kTraceBlockVersion ||
        found->bytes.size() != kBlockBytes + pointsDb.size() * 4 || file.data.traces.size() != 1)
        return {};
    StoredTrace stored;
    stored.block = tracefile::ParameterBlock::Decode(
        std::span<const uint8_t, kBlockBytes>(found->bytes.data(), kBlockBytes));
    if (!tracefile::IsValidBlock(stored.block, tracefile::ReaderVariant::Instrument) ||
        !tracefile::IsValidBlock(stored.block, tracefile::ReaderVariant::Pc))
        return {};
    const double halfUnitDb = file.data.traces.front().scaleFactor / 2e6;
    for (size_t j = 0; j < pointsDb.size(); ++j) {
        const uint8_t* b = found->bytes.data() + kBlockBytes + 4 * j;
        const uint32_t level = b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
        if (std::fabs(floorDb - level * kDbPerLevel - pointsDb[j]) > halfUnitDb + 1e-9)
            return {};
        stored.levels.push_back(level);
    }
    return stored;
}

// The level the instrument's 0 stands for on import, in dB below the file's top.
double FloorDb(const SorFile& file, std::span<const double> pointsDb) {
    if (pointsDb.empty())
        return 0.0;
    // Makers count the noise floor from different references: only one that at least half the trace
    // lies above is a floor (this system writes it below every point). Otherwise the weakest point
    // serves, and the fibre's levels sit as far above it as the file's noise reaches down.
    if (file.fxd.noiseFloorLevel != 0) {
        const double scale = file.fxd.noiseFloorScale > 0 ? file.fxd.noiseFloorScale : 1000;
        const double noiseFloor = file.fxd.noiseFloorLevel * scale / 1e6;
        std::vector<double> sorted(pointsDb.begin(), pointsDb.end());
        const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
        std::nth_element(sorted.begin(), middle, sorted.end());
        if (noiseFloor >= *middle)
            return noiseFloor;
    }
    return *std::max_element(pointsDb.begin(), pointsDb.end());
}

} // namespace

const char* Describe(ConversionError error) {
    switch (error) {
    case ConversionError::None:
        return "no error";
    case ConversionError::NoTrace:
        return "the file holds no trace points";
    case ConversionError::NoTimebase:
        return "the file gives no pulse setting with a point spacing";
    case ConversionError::IndexOutsideLimits:
        return "the group index lies outside 1.0 to 2.0";
    case ConversionError::UnknownRange:
        return "the range is none of 0.5, 1, 2, 4, 8, 16, 32, 64 and 128 km";
    case ConversionError::TooFewSamples:
        return "the trace has too few samples";
    case ConversionError::LevelsTooLarge:
        return "the trace's levels are larger than a SOR file holds";
    case ConversionError::InvalidParameters:
        return "the trace's parameters are not ones the instrument records";
    }
    return "unknown error";
}

std::vector<double> PointsDb(const SorFile& file) {
    std::vector<double> db;
    if (file.fxd.pulses.empty())
        return db;
    const size_t wanted = file.fxd.pulses.front().points;
    uint64_t total = 0;
    for (const TraceData& trace : file.data.traces)
        total += trace.points.size();
    // Groups that add up to the count are consecutive pieces of the trace; otherwise each group is the
    // whole trace at its own scale and the first serves.
    const bool pieces = total == file.data.numberOfPoints;
    for (const TraceData& trace : file.data.traces) {
        const double dbPerUnit = trace.scaleFactor / 1e6;
        for (const uint16_t point : trace.points) {
            if (db.size() == wanted)
                return db;
            db.push_back(point * dbPerUnit);
        }
        if (!pieces)
            break;
    }
    return db;
}

std::vector<TraceEvent> AnalysedEvents(const analysis::EventTable& table) {
    std::vector<TraceEvent> events;
    for (const analysis::EventRecord& record : table.Events())
        events.push_back({.position = record.position,
                          .reflective = record.type == analysis::Reflective,
                          .end = record.position == table.End(),
                          .lossDb = record.loss});
    return events;
}

int ImportTrace(const SorFile& file, float rangeKm, ImportedTrace& imported, ConversionError* error) {
    const double pointSeconds = SorPointSeconds(file.fxd);
    if (pointSeconds <= 0.0)
        return Fail(ConversionError::NoTimebase, error);
    std::vector<double> db = PointsDb(file);
    if (db.empty())
        return Fail(ConversionError::NoTrace, error);
    const double index = GroupIndex(file.fxd);
    if (index < 1.0 || index > 2.0)
        return Fail(ConversionError::IndexOutsideLimits, error);

    const double frontSeconds = file.fxd.frontPanelOffset * kSecondsPerTimeUnit;
    const double endSeconds = static_cast<double>(db.size() - 1) * pointSeconds - frontSeconds;
    const auto holds = [endSeconds](float km) {
        // Half a sample of slack: the spacing a file stores is rounded.
        return (tracefile::PointsForRange(km) - 0.5) * GridSeconds(km) >= endSeconds;
    };
    if (rangeKm == 0.0f) {
        rangeKm = kRanges[std::size(kRanges) - 1];
        for (const float km : kRanges) {
            if (holds(km)) {
                rangeKm = km;
                break;
            }
        }
    }
    const uint32_t count = tracefile::PointsForRange(rangeKm);
    if (count == 0)
        return Fail(ConversionError::UnknownRange, error);

    ImportedTrace out;
    out.cut = !holds(rangeKm);
    out.traceKm = endSeconds * kLightMetresPerSecond / index / 1000.0;
    const double floorDb = FloorDb(file, db);
    const StoredTrace stored = OwnTrace(file, db, floorDb);
    for (size_t j = 0; j < stored.levels.size(); ++j)
        db[j] = floorDb - stored.levels[j] * kDbPerLevel;
    const double gridSeconds = GridSeconds(rangeKm);
    const double width = gridSeconds / pointSeconds;
    // The grid the file stores to the precision of its spacing field, as this system writes it: taken
    // point for point rather than drifting by the field's rounding.
    const bool sameGrid =
        frontSeconds == 0.0 && std::fabs(pointSeconds - gridSeconds) <= kSpacingFieldSeconds / 2;
    const double last = static_cast<double>(db.size() - 1);
    out.samples.resize(count);
    for (uint32_t k = 0; k < count; ++k) {
        const double x = sameGrid ? k : (k * gridSeconds + frontSeconds) / pointSeconds;
        // Past the trace lies the noise floor, the instrument's 0.
        if (x < 0.0 || x > last + 0.5)
            continue;
        const double level = std::round((floorDb - DbAt(db, x, width)) / kDbPerLevel);
        out.samples[k] = level <= 0.0 ? 0 : static_cast<uint32_t>(std::min(level, 4294967295.0));
    }

    const float wavelength = Nearest(kWavelengths, WavelengthNm(file.fxd));
    const float pulse = Nearest(tracefile::kPulseWidths, file.fxd.pulses.front().width);
    const double lossThreshold = file.fxd.lossThreshold / 1000.0;
    const float threshold = lossThreshold >= 0.01 && lossThreshold <= 9.99 ? static_cast<float>(lossThreshold)
                                                                           : kDefaultThreshold;
    const int averageSeconds =
        static_cast<int>(std::min<uint32_t>(file.fxd.averagingTime, kLargestAverageSeconds));
    out.block = tracefile::ParameterBlock::FromParameters(
        {rangeKm, wavelength, pulse, kImportAttenuation, 0.0f, static_cast<float>(index), 1.0f, threshold},
        averageSeconds, 0);
    // The file's words exactly, without a float product's truncation.
    out.block.m_fRefractive = static_cast<int32_t>(file.fxd.groupIndex);
    out.block.m_fEventThreshold =
        threshold == kDefaultThreshold ? 10000 : static_cast<int32_t>(file.fxd.lossThreshold) * 100;
    if (!stored.levels.empty()) {
        const int32_t range = out.block.range;
        out.block = stored.block;
        out.block.range = range;
    }
    if (!tracefile::IsValidBlock(out.block, tracefile::ReaderVariant::Instrument) ||
        !tracefile::IsValidBlock(out.block, tracefile::ReaderVariant::Pc))
        return Fail(ConversionError::InvalidParameters, error);
    imported = std::move(out);
    if (error)
        *error = ConversionError::None;
    return 0;
}

int ExportTrace(std::span<const uint32_t> samples, const tracefile::ParameterBlock& block,
                std::span<const TraceEvent> events, const ExportOrigin& origin, SorFile& file,
                ConversionError* error) {
    using tracefile::ReaderVariant;
    if (!tracefile::IsValidBlock(block, ReaderVariant::Pc))
        return Fail(ConversionError::InvalidParameters, error);
    if (samples.size() < kFewestSamples)
        return Fail(ConversionError::TooFewSamples, error);
    const float rangeKm = tracefile::BlockRangeKm(block, ReaderVariant::Pc);
    const double gridUnits = GridSeconds(rangeKm) / kSecondsPerTimeUnit;
    const auto wavelength = static_cast<uint16_t>(block.m_iWaveLen / 100000);

    SorFile out;
    out.gen.language = {'E', 'N'};
    out.gen.nominalWavelength = wavelength;
    out.gen.fibreType = 652;
    CopyText(out.gen.buildCondition, "BC");

    out.sup.supplier = "Lumetra Instruments";
    out.sup.otdrName = "Lumetra";
    out.sup.softwareVersion = origin.version;
    out.sup.other = "Exported by " + origin.program + " " + origin.version;

    FxdParams& fxd = out.fxd;
    fxd.dateTime = origin.dateTime;
    CopyText(fxd.distanceUnits, "mt");
    fxd.actualWavelength = static_cast<uint16_t>(wavelength * 10);
    PulseSetting pulse;
    pulse.width = static_cast<uint16_t>(block.m_iPulseWidth / 100000);
    pulse.dataSpacing = static_cast<uint32_t>(std::lround(gridUnits * 10000.0));
    pulse.points = static_cast<uint32_t>(samples.size());
    fxd.pulses.push_back(pulse);
    // The file has no cable ratio: the index carries it, so distances read as the instrument shows them.
    const double ratio = tracefile::BlockRatio(block.m_fCableRatio, ReaderVariant::Pc);
    fxd.groupIndex = static_cast<uint32_t>(std::lround(static_cast<uint32_t>(block.m_fRefractive) / ratio));
    fxd.averagingTime = static_cast<uint16_t>(std::min(block.m_iAvgTime / 100000, 65535));
    fxd.acquisitionRange =
        static_cast<uint32_t>(std::lround(gridUnits * static_cast<double>(samples.size())));
    fxd.lossThreshold = static_cast<uint16_t>(
        std::lround(tracefile::BlockRatio(block.m_fEventThreshold, ReaderVariant::Pc) * 1000.0));
    CopyText(fxd.traceType, "ST");

    const DataScale scale = ScaleFor(*std::max_element(samples.begin(), samples.end()),
                                     *std::min_element(samples.begin(), samples.end()));
    if (scale.unitLevels == 0)
        return Fail(ConversionError::LevelsTooLarge, error);
    fxd.noiseFloorLevel = static_cast<uint16_t>(scale.top / scale.floorStep);
    fxd.noiseFloorScale = static_cast<int16_t>(500 * scale.floorStep);
    TraceData trace;
    trace.scaleFactor = static_cast<uint16_t>(500 * scale.unitLevels);
    trace.points.reserve(samples.size());
    for (const uint32_t level : samples)
        trace.points.push_back(
            static_cast<uint16_t>((scale.top - level + scale.unitLevels / 2) / scale.unitLevels));
    out.data.numberOfPoints = static_cast<uint32_t>(samples.size());
    out.data.traces.push_back(std::move(trace));
    out.others.push_back({kTraceBlock, kTraceBlockVersion, EncodeTraceBlock(samples, block)});

    for (const TraceEvent& event : events) {
        KeyEvent key;
        key.number = static_cast<uint16_t>(out.keyEvents.events.size() + 1);
        key.time = static_cast<uint32_t>(std::lround(event.position * gridUnits));
        key.loss = static_cast<int16_t>(std::clamp<long>(std::lround(event.lossDb * 1000.0), -32768, 32767));
        key.code = {event.reflective ? '1' : '0', event.end ? 'E' : 'F', '9', '9', '9', '9'};
        CopyText(key.technique, event.lossDb != 0.0f ? "LS" : "  ");
        out.keyEvents.events.push_back(key);
    }
    file = std::move(out);
    if (error)
        *error = ConversionError::None;
    return 0;
}

} // namespace sor
