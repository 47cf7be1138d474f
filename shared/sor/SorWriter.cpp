#include "shared/sor/SorFile.h"

#include <limits>

namespace sor {

namespace {

// Collects one block's bytes; anything that does not fit its field marks the whole write as failed.
class Out {
public:
    bool Ok() const { return ok_; }
    std::vector<uint8_t>& Bytes() { return bytes_; }

    void Unsigned(uint64_t value, size_t width) {
        for (size_t i = 0; i < width; ++i)
            bytes_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void U16(uint16_t value) { Unsigned(value, 2); }
    void U32(uint32_t value) { Unsigned(value, 4); }
    void I16(int16_t value) { U16(static_cast<uint16_t>(value)); }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    template <size_t N> void Chars(const std::array<char, N>& chars) {
        bytes_.insert(bytes_.end(), chars.begin(), chars.end());
    }
    template <size_t N> void I32s(const std::array<int32_t, N>& values) {
        for (const int32_t value : values)
            I32(value);
    }
    void String(const std::string& text) {
        if (text.find('\0') != std::string::npos)
            ok_ = false;
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        bytes_.push_back(0);
    }
    void Count(size_t count, uint64_t max) {
        if (count > max)
            ok_ = false;
        Unsigned(count, max > std::numeric_limits<uint16_t>::max() ? 4 : 2);
    }

private:
    std::vector<uint8_t> bytes_;
    bool ok_ = true;
};

constexpr uint16_t kVersion = 200;

void WriteGen(Out& out, const GenParams& gen) {
    out.Chars(gen.language);
    out.String(gen.cableId);
    out.String(gen.fibreId);
    out.U16(gen.fibreType);
    out.U16(gen.nominalWavelength);
    out.String(gen.originatingLocation);
    out.String(gen.terminatingLocation);
    out.String(gen.cableCode);
    out.Chars(gen.buildCondition);
    out.I32(gen.userOffset);
    out.I32(gen.userOffsetDistance);
    out.String(gen.operatorName);
    out.String(gen.comment);
}

void WriteSup(Out& out, const SupParams& sup) {
    for (const std::string* text : {&sup.supplier, &sup.otdrName, &sup.otdrSerial, &sup.module,
                                    &sup.moduleSerial, &sup.softwareVersion, &sup.other})
        out.String(*text);
}

void WriteFxd(Out& out, const FxdParams& fxd) {
    out.U32(fxd.dateTime);
    out.Chars(fxd.distanceUnits);
    out.U16(fxd.actualWavelength);
    out.I32(fxd.acquisitionOffset);
    out.I32(fxd.acquisitionOffsetDistance);
    out.Count(fxd.pulses.size(), std::numeric_limits<uint16_t>::max());
    for (const PulseSetting& pulse : fxd.pulses)
        out.U16(pulse.width);
    for (const PulseSetting& pulse : fxd.pulses)
        out.U32(pulse.dataSpacing);
    for (const PulseSetting& pulse : fxd.pulses)
        out.U32(pulse.points);
    out.U32(fxd.groupIndex);
    out.U16(fxd.backscatter);
    out.U32(fxd.averages);
    out.U16(fxd.averagingTime);
    out.U32(fxd.acquisitionRange);
    out.I32(fxd.acquisitionRangeDistance);
    out.I32(fxd.frontPanelOffset);
    out.U16(fxd.noiseFloorLevel);
    out.I16(fxd.noiseFloorScale);
    out.U16(fxd.powerOffset);
    out.U16(fxd.lossThreshold);
    out.U16(fxd.reflectanceThreshold);
    out.U16(fxd.endOfFibreThreshold);
    out.Chars(fxd.traceType);
    out.I32s(fxd.window);
}

void WriteKeyEvents(Out& out, const KeyEvents& key) {
    out.Count(key.events.size(), std::numeric_limits<uint16_t>::max());
    for (const KeyEvent& event : key.events) {
        out.U16(event.number);
        out.U32(event.time);
        out.U16(event.attenuation);
        out.I16(event.loss);
        out.I32(event.reflectance);
        out.Chars(event.code);
        out.Chars(event.technique);
        out.I32s(event.markers);
        out.String(event.comment);
    }
    out.I32(key.endToEndLoss);
    out.I32s(key.endToEndMarkers);
    out.U16(key.returnLoss);
    out.I32s(key.returnLossMarkers);
}

void WriteDataPts(Out& out, const DataPts& data) {
    out.U32(data.numberOfPoints);
    out.Count(data.traces.size(), std::numeric_limits<uint16_t>::max());
    for (const TraceData& trace : data.traces) {
        out.Count(trace.points.size(), std::numeric_limits<uint32_t>::max());
        out.U16(trace.scaleFactor);
        for (const uint16_t point : trace.points)
            out.U16(point);
    }
}

struct Block {
    std::string name;
    uint16_t version = kVersion;
    std::vector<uint8_t> bytes; // with the name
};

} // namespace

std::vector<uint8_t> Write(const SorFile& file) {
    std::vector<Block> blocks;
    bool ok = true;
    const auto add = [&](const std::string& name, uint16_t version, auto&& fill) {
        Out out;
        out.String(name);
        fill(out);
        ok = ok && out.Ok() && out.Bytes().size() <= std::numeric_limits<uint32_t>::max();
        blocks.push_back({name, version, std::move(out.Bytes())});
    };
    add("GenParams", kVersion, [&](Out& out) { WriteGen(out, file.gen); });
    add("SupParams", kVersion, [&](Out& out) { WriteSup(out, file.sup); });
    add("FxdParams", kVersion, [&](Out& out) { WriteFxd(out, file.fxd); });
    add("KeyEvents", kVersion, [&](Out& out) { WriteKeyEvents(out, file.keyEvents); });
    for (const OtherBlock& other : file.others)
        add(other.name, other.version,
            [&](Out& out) { out.Bytes().insert(out.Bytes().end(), other.bytes.begin(), other.bytes.end()); });
    add("DataPts", kVersion, [&](Out& out) { WriteDataPts(out, file.data); });
    add("Cksum", kVersion, [](Out&) {});
    if (!ok || blocks.size() + 1 > std::numeric_limits<uint16_t>::max())
        return {};

    Out map;
    map.String("Map");
    map.U16(kVersion);
    size_t mapSize = 4 + 2 + 4 + 2;
    for (const Block& block : blocks)
        mapSize += block.name.size() + 1 + 2 + 4;
    map.U32(static_cast<uint32_t>(mapSize));
    map.U16(static_cast<uint16_t>(blocks.size() + 1));
    for (const Block& block : blocks) {
        map.String(block.name);
        map.U16(block.version);
        // The checksum's two bytes are added below, after everything they cover.
        map.U32(static_cast<uint32_t>(block.bytes.size() + (block.name == "Cksum" ? 2 : 0)));
    }
    std::vector<uint8_t> bytes = std::move(map.Bytes());
    for (const Block& block : blocks)
        bytes.insert(bytes.end(), block.bytes.begin(), block.bytes.end());
    const uint16_t sum = Checksum(bytes);
    bytes.push_back(static_cast<uint8_t>(sum));
    bytes.push_back(static_cast<uint8_t>(sum >> 8));
    return bytes;
}

} // namespace sor
