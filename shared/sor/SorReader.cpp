#include "shared/sor/SorFile.h"

#include <algorithm>
#include <cstring>

namespace sor {

namespace {

// Reads little-endian fields inside one block; the first read past the block sets the error and every
// later read yields zero, so a parser checks once at its end.
class Cursor {
public:
    explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool Ok() const { return error_ == SorError::None; }
    SorError Error() const { return error_; }
    size_t Left() const { return bytes_.size() - pos_; }
    size_t Pos() const { return pos_; }
    void Skip(size_t count) {
        if (Ok() && Left() < count)
            Fail(SorError::FieldPastBlock);
        if (Ok())
            pos_ += count;
    }
    void Fail(SorError error) {
        if (Ok())
            error_ = error;
    }

    uint64_t Unsigned(size_t width) {
        if (!Ok() || Left() < width) {
            Fail(SorError::FieldPastBlock);
            return 0;
        }
        uint64_t value = 0;
        for (size_t i = 0; i < width; ++i)
            value |= uint64_t{bytes_[pos_ + i]} << (8 * i);
        pos_ += width;
        return value;
    }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    template <size_t N> std::array<char, N> Chars() {
        std::array<char, N> chars{};
        if (!Ok() || Left() < N) {
            Fail(SorError::FieldPastBlock);
            return chars;
        }
        std::memcpy(chars.data(), bytes_.data() + pos_, N);
        pos_ += N;
        return chars;
    }
    template <size_t N> std::array<int32_t, N> I32s() {
        std::array<int32_t, N> values{};
        for (int32_t& value : values)
            value = I32();
        return values;
    }

    std::string String() {
        if (!Ok())
            return {};
        const auto rest = bytes_.subspan(pos_);
        const auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
        if (end == rest.end()) {
            Fail(SorError::StringPastBlock);
            return {};
        }
        std::string text(rest.begin(), end);
        pos_ += text.size() + 1;
        return text;
    }

    // Whether count items of itemBytes each can still follow; a count that cannot is refused before
    // anything is allocated for it.
    bool Fits(uint64_t count, uint64_t itemBytes) {
        if (Ok() && count * itemBytes > Left())
            Fail(SorError::CountTooLarge);
        return Ok();
    }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    SorError error_ = SorError::None;
};

struct MapEntry {
    std::string name;
    uint16_t version = 0;
    uint32_t size = 0;
};

GenParams ReadGen(Cursor& in, int version) {
    GenParams gen;
    gen.language = in.Chars<2>();
    gen.cableId = in.String();
    gen.fibreId = in.String();
    if (version == 2)
        gen.fibreType = in.U16();
    gen.nominalWavelength = in.U16();
    gen.originatingLocation = in.String();
    gen.terminatingLocation = in.String();
    gen.cableCode = in.String();
    gen.buildCondition = in.Chars<2>();
    gen.userOffset = in.I32();
    if (version == 2)
        gen.userOffsetDistance = in.I32();
    gen.operatorName = in.String();
    gen.comment = in.String();
    return gen;
}

SupParams ReadSup(Cursor& in) {
    SupParams sup;
    for (std::string* text : {&sup.supplier, &sup.otdrName, &sup.otdrSerial, &sup.module, &sup.moduleSerial,
                              &sup.softwareVersion, &sup.other})
        *text = in.String();
    return sup;
}

FxdParams ReadFxd(Cursor& in, int version) {
    FxdParams fxd;
    fxd.dateTime = in.U32();
    fxd.distanceUnits = in.Chars<2>();
    fxd.actualWavelength = in.U16();
    fxd.acquisitionOffset = in.I32();
    if (version == 2)
        fxd.acquisitionOffsetDistance = in.I32();
    const uint16_t pulses = in.U16();
    if (!in.Fits(pulses, 2 + 4 + 4))
        return fxd;
    fxd.pulses.resize(pulses);
    for (PulseSetting& pulse : fxd.pulses)
        pulse.width = in.U16();
    for (PulseSetting& pulse : fxd.pulses)
        pulse.dataSpacing = in.U32();
    for (PulseSetting& pulse : fxd.pulses)
        pulse.points = in.U32();
    fxd.groupIndex = in.U32();
    fxd.backscatter = in.U16();
    fxd.averages = in.U32();
    if (version == 2)
        fxd.averagingTime = in.U16();
    fxd.acquisitionRange = in.U32();
    if (version == 2)
        fxd.acquisitionRangeDistance = in.I32();
    fxd.frontPanelOffset = in.I32();
    fxd.noiseFloorLevel = in.U16();
    fxd.noiseFloorScale = in.I16();
    fxd.powerOffset = in.U16();
    fxd.lossThreshold = in.U16();
    fxd.reflectanceThreshold = in.U16();
    fxd.endOfFibreThreshold = in.U16();
    if (version == 2) {
        fxd.traceType = in.Chars<2>();
        fxd.window = in.I32s<4>();
    }
    return fxd;
}

// The smallest event: the fixed fields and an empty comment.
constexpr uint64_t kMinEventBytes = 2 + 4 + 2 + 2 + 4 + 6 + 2 + 5 * 4 + 1;

KeyEvents ReadKeyEvents(Cursor& in, int version) {
    KeyEvents key;
    const uint16_t count = in.U16();
    if (!in.Fits(count, kMinEventBytes))
        return key;
    key.events.resize(count);
    for (KeyEvent& event : key.events) {
        event.number = in.U16();
        event.time = in.U32();
        event.attenuation = in.U16();
        event.loss = in.I16();
        event.reflectance = in.I32();
        event.code = in.Chars<6>();
        event.technique = in.Chars<2>();
        event.markers = in.I32s<5>();
        event.comment = in.String();
    }
    key.endToEndLoss = in.I32();
    key.endToEndMarkers = in.I32s<2>();
    if (version == 2) {
        key.returnLoss = in.U16();
        key.returnLossMarkers = in.I32s<2>();
    }
    return key;
}

DataPts ReadDataPts(Cursor& in) {
    DataPts data;
    data.numberOfPoints = in.U32();
    const uint16_t traces = in.U16();
    if (!in.Fits(traces, 4 + 2))
        return data;
    data.traces.resize(traces);
    for (TraceData& trace : data.traces) {
        const uint32_t count = in.U32();
        trace.scaleFactor = in.U16();
        if (!in.Fits(count, 2))
            return data;
        trace.points.resize(count);
        for (uint16_t& point : trace.points)
            point = in.U16();
    }
    return data;
}

int Fail(SorError reason, SorError* error) {
    if (error)
        *error = reason;
    return -1;
}

constexpr char kMapName[] = "Map";

} // namespace

int Read(std::span<const uint8_t> bytes, SorFile& file, SorError* error) {
    if (bytes.size() < 8)
        return Fail(SorError::TooShort, error);
    // Issue 2 names every block, the map too; issue 1 names the blocks only in the map.
    const bool named = std::memcmp(bytes.data(), kMapName, sizeof kMapName) == 0;
    Cursor head(bytes);
    if (named)
        head.String();
    const uint16_t mapVersion = head.U16();
    const int version = mapVersion / 100;
    if (version != (named ? 2 : 1))
        return Fail(SorError::UnknownVersion, error);
    const uint32_t mapSize = head.U32();
    const uint16_t blockCount = head.U16();
    if (!head.Ok())
        return Fail(SorError::TooShort, error);
    if (mapSize > bytes.size())
        return Fail(SorError::BlockOutsideFile, error);
    Cursor map(bytes.first(mapSize));
    map.Skip(head.Pos());
    if (blockCount == 0 || !map.Fits(blockCount - 1u, 1 + 2 + 4))
        return Fail(SorError::BadMap, error);
    std::vector<MapEntry> entries(blockCount - 1u);
    for (MapEntry& entry : entries) {
        entry.name = map.String();
        entry.version = map.U16();
        entry.size = map.U32();
    }
    if (!map.Ok())
        return Fail(SorError::BadMap, error);

    SorFile read;
    read.version = version;
    bool seen[5] = {};
    static constexpr const char* kStandard[] = {"GenParams", "SupParams", "FxdParams", "KeyEvents",
                                                "DataPts"};
    size_t at = mapSize;
    for (const MapEntry& entry : entries) {
        if (entry.size > bytes.size() - at)
            return Fail(SorError::BlockOutsideFile, error);
        Cursor in(bytes.subspan(at, entry.size));
        const size_t start = at;
        at += entry.size;
        if (version == 2) {
            // An empty name must still find its terminator inside the block.
            const std::string name = in.String();
            if (!in.Ok())
                return Fail(in.Error(), error);
            if (name != entry.name)
                return Fail(SorError::BlockNameMismatch, error);
        }
        if (entry.name == "Cksum") {
            const size_t stored = start + in.Pos();
            const uint16_t value = in.U16();
            if (!in.Ok())
                return Fail(in.Error(), error);
            read.checksum =
                Checksum(bytes.first(stored)) == value ? ChecksumStatus::Matches : ChecksumStatus::Mismatch;
            continue;
        }
        const auto standard = std::find(std::begin(kStandard), std::end(kStandard), entry.name);
        if (standard == std::end(kStandard)) {
            const size_t nameBytes = version == 2 ? entry.name.size() + 1 : 0;
            const auto content = bytes.subspan(start + nameBytes, entry.size - nameBytes);
            read.others.push_back({entry.name, entry.version, {content.begin(), content.end()}});
            continue;
        }
        const size_t which = static_cast<size_t>(standard - std::begin(kStandard));
        if (seen[which])
            return Fail(SorError::DuplicateBlock, error);
        seen[which] = true;
        switch (which) {
        case 0:
            read.gen = ReadGen(in, version);
            break;
        case 1:
            read.sup = ReadSup(in);
            break;
        case 2:
            read.fxd = ReadFxd(in, version);
            break;
        case 3:
            read.keyEvents = ReadKeyEvents(in, version);
            break;
        default:
            read.data = ReadDataPts(in);
            break;
        }
        if (!in.Ok())
            return Fail(in.Error(), error);
    }
    if (!seen[2] || !seen[4])
        return Fail(SorError::MissingBlock, error);
    uint64_t fxdPoints = 0;
    for (const PulseSetting& pulse : read.fxd.pulses)
        fxdPoints += pulse.points;
    if (fxdPoints != read.data.numberOfPoints)
        return Fail(SorError::PointCountMismatch, error);
    file = std::move(read);
    if (error)
        *error = SorError::None;
    return 0;
}

} // namespace sor
