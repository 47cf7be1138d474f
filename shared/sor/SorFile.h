#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Telcordia SR-4731 ("SOR") trace files: issue 1 and issue 2 read, issue 2 written. Every field is kept
// raw, in the unit the file stores it in; the helpers at the end convert.
namespace sor {

struct GenParams {
    std::array<char, 2> language{};
    std::string cableId;
    std::string fibreId;
    uint16_t fibreType = 0;         // issue 2 only (e.g. 652)
    uint16_t nominalWavelength = 0; // nm
    std::string originatingLocation;
    std::string terminatingLocation;
    std::string cableCode;
    std::array<char, 2> buildCondition{}; // "BC", "RC", "OT", "CC"...
    int32_t userOffset = 0;               // 100 ps
    int32_t userOffsetDistance = 0;       // issue 2 only; distance units
    std::string operatorName;
    std::string comment;
    bool operator==(const GenParams&) const = default;
};

struct SupParams {
    std::string supplier;
    std::string otdrName;
    std::string otdrSerial;
    std::string module;
    std::string moduleSerial;
    std::string softwareVersion;
    std::string other;
    bool operator==(const SupParams&) const = default;
};

struct PulseSetting {
    uint16_t width = 0;       // ns
    uint32_t dataSpacing = 0; // 100 ps per 10000 points
    uint32_t points = 0;
    bool operator==(const PulseSetting&) const = default;
};

struct FxdParams {
    uint32_t dateTime = 0;               // seconds since 1970
    std::array<char, 2> distanceUnits{}; // "mt", "km", "ft", "kf", "mi"
    uint16_t actualWavelength = 0;       // 0.1 nm by the standard, whole nm by some writers
    int32_t acquisitionOffset = 0;
    int32_t acquisitionOffsetDistance = 0; // issue 2 only
    std::vector<PulseSetting> pulses;
    uint32_t groupIndex = 0;  // x 100000
    uint16_t backscatter = 0; // -dB x 10
    uint32_t averages = 0;
    uint16_t averagingTime = 0; // issue 2 only; the unit varies by maker
    uint32_t acquisitionRange = 0;
    int32_t acquisitionRangeDistance = 0; // issue 2 only
    int32_t frontPanelOffset = 0;
    uint16_t noiseFloorLevel = 0;
    int16_t noiseFloorScale = 0;
    uint16_t powerOffset = 0;
    uint16_t lossThreshold = 0;
    uint16_t reflectanceThreshold = 0;
    uint16_t endOfFibreThreshold = 0;
    std::array<char, 2> traceType{}; // issue 2 only
    std::array<int32_t, 4> window{}; // issue 2 only
    bool operator==(const FxdParams&) const = default;
};

struct KeyEvent {
    uint16_t number = 0;
    uint32_t time = 0;        // 100 ps, one way, from the user offset
    uint16_t attenuation = 0; // dB/km x 1000 of the fibre before the event
    int16_t loss = 0;         // dB x 1000
    int32_t reflectance = 0;  // dB x 1000
    std::array<char, 6> code{};
    std::array<char, 2> technique{};
    std::array<int32_t, 5> markers{};
    std::string comment;
    bool operator==(const KeyEvent&) const = default;
};

struct KeyEvents {
    std::vector<KeyEvent> events;
    int32_t endToEndLoss = 0; // dB x 1000
    std::array<int32_t, 2> endToEndMarkers{};
    uint16_t returnLoss = 0;                    // issue 2 only; dB x 1000
    std::array<int32_t, 2> returnLossMarkers{}; // issue 2 only
    bool operator==(const KeyEvents&) const = default;
};

struct TraceData {
    uint16_t scaleFactor = 1000;
    std::vector<uint16_t> points; // dB below the top x scaleFactor / 1000000
    bool operator==(const TraceData&) const = default;
};

struct DataPts {
    uint32_t numberOfPoints = 0;
    std::vector<TraceData> traces;
    bool operator==(const DataPts&) const = default;
};

// A block the library does not interpret (a maker's own), kept so that a write can carry it on.
struct OtherBlock {
    std::string name;
    uint16_t version = 0;
    std::vector<uint8_t> bytes; // the content after the name
    bool operator==(const OtherBlock&) const = default;
};

enum class ChecksumStatus { Matches, Mismatch, Absent };

struct SorFile {
    int version = 2; // the issue the file was read as; Write always writes issue 2
    GenParams gen;
    SupParams sup;
    FxdParams fxd;
    KeyEvents keyEvents;
    DataPts data;
    std::vector<OtherBlock> others; // in file order; Write puts them before DataPts
    ChecksumStatus checksum = ChecksumStatus::Absent;
};

enum class SorError {
    None,
    TooShort,
    UnknownVersion,
    BadMap,
    BlockOutsideFile,
    BlockNameMismatch,
    DuplicateBlock,
    MissingBlock,
    FieldPastBlock,
    StringPastBlock,
    CountTooLarge,
    PointCountMismatch,
    CannotRead,
    CannotWrite,
    NotWritable
};
const char* Describe(SorError error);

// CRC-16/CCITT: polynomial 0x1021, initial 0xFFFF, no reflection.
uint16_t Checksum(std::span<const uint8_t> bytes);

// 0, or -1 with the reason in error; file is only changed on success. A checksum that does not match is
// reported in file.checksum, never refused.
int Read(std::span<const uint8_t> bytes, SorFile& file, SorError* error = nullptr);
int ReadFile(const std::filesystem::path& path, SorFile& file, SorError* error = nullptr);

// Issue 2 bytes with the map's sizes and the checksum computed; empty when a field cannot be stored (a
// count beyond its field, a string holding a NUL).
std::vector<uint8_t> Write(const SorFile& file);
// 0, or -1 with the reason in error.
int WriteFile(const std::filesystem::path& path, const SorFile& file, SorError* error = nullptr);

// Whole-nm values below 2000 are taken as they stand; larger ones as 0.1 nm.
double WavelengthNm(const FxdParams& fxd);
double GroupIndex(const FxdParams& fxd);
// Metres of fibre per point of the first pulse setting; 0 without one or without a group index.
double MetresPerPoint(const FxdParams& fxd);
double SpanKm(const SorFile& file);
// The event's distance from the user offset, with the file's group index; 0 without a group index.
double EventDistanceKm(const FxdParams& fxd, const KeyEvent& event);

} // namespace sor
