#include "shared/sor/SorFile.h"

#include "shared/fileio/HostFiles.h"

namespace sor {

namespace {

constexpr double kLightMetresPerSecond = 299792458.0;
// Larger than any trace a field OTDR records, so a huge file is refused before it is read.
constexpr size_t kMaxFileBytes = 64u << 20;

} // namespace

const char* Describe(SorError error) {
    switch (error) {
    case SorError::None:
        return "no error";
    case SorError::TooShort:
        return "too short for a map block";
    case SorError::UnknownVersion:
        return "not a SOR file of issue 1 or 2";
    case SorError::BadMap:
        return "the map block does not hold its entries";
    case SorError::BlockOutsideFile:
        return "a block runs past the end of the file";
    case SorError::BlockNameMismatch:
        return "a block's name differs from its map entry";
    case SorError::DuplicateBlock:
        return "a standard block appears twice";
    case SorError::MissingBlock:
        return "no FxdParams or no DataPts block";
    case SorError::FieldPastBlock:
        return "a field runs past the end of its block";
    case SorError::StringPastBlock:
        return "a text has no terminator inside its block";
    case SorError::CountTooLarge:
        return "a count is larger than its block can hold";
    case SorError::PointCountMismatch:
        return "FxdParams and DataPts disagree on the number of points";
    case SorError::CannotRead:
        return "the file cannot be read";
    case SorError::CannotWrite:
        return "the file cannot be written";
    case SorError::NotWritable:
        return "a field cannot be stored (a count too large or a text holding a NUL)";
    }
    return "unknown error";
}

uint16_t Checksum(std::span<const uint8_t> bytes) {
    uint16_t crc = 0xFFFF;
    for (const uint8_t byte : bytes) {
        crc ^= static_cast<uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

int ReadFile(const std::filesystem::path& path, SorFile& file, SorError* error) {
    std::vector<uint8_t> bytes;
    if (fileio::ReadRegularFile(path, bytes, kMaxFileBytes) != fileio::ReadResult::Ok) {
        if (error)
            *error = SorError::CannotRead;
        return -1;
    }
    return Read(bytes, file, error);
}

int WriteFile(const std::filesystem::path& path, const SorFile& file, SorError* error) {
    const std::vector<uint8_t> bytes = Write(file);
    SorError reason = SorError::None;
    if (bytes.empty())
        reason = SorError::NotWritable;
    else if (!fileio::ReplaceFile(path, bytes))
        reason = SorError::CannotWrite;
    if (error)
        *error = reason;
    return reason == SorError::None ? 0 : -1;
}

double WavelengthNm(const FxdParams& fxd) {
    // No OTDR measures beyond 2000 nm or below 200 nm, so the two units cannot be confused.
    return fxd.actualWavelength < 2000 ? fxd.actualWavelength : fxd.actualWavelength / 10.0;
}

double GroupIndex(const FxdParams& fxd) {
    return fxd.groupIndex / 100000.0;
}

double MetresPerPoint(const FxdParams& fxd) {
    if (fxd.pulses.empty() || fxd.groupIndex == 0)
        return 0;
    // dataSpacing is the one-way time of 10000 points in 100 ps.
    const double secondsPerPoint = fxd.pulses.front().dataSpacing * 1e-10 / 10000.0;
    return secondsPerPoint * kLightMetresPerSecond / GroupIndex(fxd);
}

double SpanKm(const SorFile& file) {
    return file.data.numberOfPoints * MetresPerPoint(file.fxd) / 1000.0;
}

double EventDistanceKm(const FxdParams& fxd, const KeyEvent& event) {
    if (fxd.groupIndex == 0)
        return 0;
    // Event times already count from the user offset; GenParams' offset only says where that is.
    const double seconds = event.time * 1e-10;
    return seconds * kLightMetresPerSecond / GroupIndex(fxd) / 1000.0;
}

} // namespace sor
