#include "shared/tracefile/TraceFile.h"

#include "shared/fileio/HostFiles.h"
#include "shared/tracefile/RangeGeometry.h"

#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

namespace tracefile {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (Lower(a[i]) != b[i])
            return false;
    return i == a.size() && b[i] == '\0';
}

int Fail(TraceReadError reason, TraceReadError* error) {
    if (error)
        *error = reason;
    return -1;
}

// Samples are bytes of a multiple of 512 words: 2048 bytes.
constexpr uint64_t kSampleQuantumBytes = 2048;

uint64_t LargestFileBytes() {
    return uint64_t{LargestPointCount()} * 4 + ParameterBlock::kBytes;
}

// Needs only the length (over one block) and the block, so a file too long to be read whole still gets
// the reason, in the order, the reader has always given.
TraceReadError CheckShape(uint64_t length, const ParameterBlock& block, ReaderVariant variant) {
    if (!IsValidBlock(block, variant))
        return TraceReadError::BadBlock;
    const uint64_t dataBytes = length - ParameterBlock::kBytes;
    if (dataBytes % kSampleQuantumBytes != 0)
        return TraceReadError::BadLength;
    if (dataBytes / 4 != PointsForRange(BlockRangeKm(block, variant)))
        return TraceReadError::WrongCount;
    return TraceReadError::None;
}

} // namespace

const char* Describe(TraceReadError error) {
    switch (error) {
    case TraceReadError::None:
        return "no error";
    case TraceReadError::EmptyPath:
        return "no file name";
    case TraceReadError::CannotOpen:
        return "cannot open the file";
    case TraceReadError::UnknownKind:
        return "not a trace file (the name must end in .st or .sor)";
    case TraceReadError::TooShort:
        return "too short for a trace file";
    case TraceReadError::BadLength:
        return "length is not whole blocks of 512 samples plus the 64-byte parameter block";
    case TraceReadError::BadBlock:
        return "parameter block out of range";
    case TraceReadError::WrongCount:
        return "sample count does not match the range";
    case TraceReadError::ReadError:
        return "read error";
    }
    return "unknown error";
}

int DecodeTraceFile(std::span<const uint8_t> bytes, ReaderVariant variant, TraceFileContents& contents,
                    TraceReadError* error) {
    if (error)
        *error = TraceReadError::None;
    // The block alone or less holds no samples; the arithmetic below must not wrap.
    if (bytes.size() <= ParameterBlock::kBytes)
        return Fail(TraceReadError::TooShort, error);
    const ParameterBlock block = ParameterBlock::Decode(bytes.last<ParameterBlock::kBytes>());
    if (const TraceReadError reason = CheckShape(bytes.size(), block, variant);
        reason != TraceReadError::None)
        return Fail(reason, error);
    const size_t count = (bytes.size() - ParameterBlock::kBytes) / 4;
    std::vector<uint32_t> samples;
    try {
        samples.resize(count);
    } catch (const std::bad_alloc&) {
        return Fail(TraceReadError::ReadError, error);
    }
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* p = bytes.data() + 4 * k;
        samples[k] = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
    contents.samples = std::move(samples);
    contents.block = block;
    return 0;
}

std::vector<uint8_t> EncodeTraceFile(std::span<const uint32_t> samples, const ParameterBlock& block) {
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(samples.size() * 4 + ParameterBlock::kBytes);
    } catch (const std::bad_alloc&) {
        return {};
    } catch (const std::length_error&) {
        return {};
    }
    for (size_t k = 0; k < samples.size(); ++k) {
        const uint32_t s = samples[k];
        uint8_t* p = bytes.data() + 4 * k;
        p[0] = static_cast<uint8_t>(s);
        p[1] = static_cast<uint8_t>(s >> 8);
        p[2] = static_cast<uint8_t>(s >> 16);
        p[3] = static_cast<uint8_t>(s >> 24);
    }
    block.Encode(std::span<uint8_t>(bytes).last<ParameterBlock::kBytes>());
    return bytes;
}

int ReadTraceFile(const std::filesystem::path& file, ReaderVariant variant, TraceFileContents& contents,
                  TraceReadError* error) {
    if (error)
        *error = TraceReadError::None;
    const std::string path = file.string();
    if (path.empty())
        return Fail(TraceReadError::EmptyPath, error);
    File in(fileio::OpenRegularFile(file));
    if (!in)
        return Fail(TraceReadError::CannotOpen, error);
    const size_t dot = path.rfind('.');
    const std::string kind = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    if (SameText(kind, "sor")) {
        contents.samples.clear();
        return 0;
    }
    if (dot == std::string::npos || !SameText(kind, "st"))
        return Fail(TraceReadError::UnknownKind, error);

    if (std::fseek(in.get(), 0, SEEK_END) != 0)
        return Fail(TraceReadError::ReadError, error);
    const long length = std::ftell(in.get());
    if (length < 0)
        return Fail(TraceReadError::ReadError, error);
    // Before any read, as always: a file this short that cannot be read is still too short.
    if (length <= static_cast<long>(ParameterBlock::kBytes))
        return Fail(TraceReadError::TooShort, error);
    if (static_cast<uint64_t>(length) > LargestFileBytes()) {
        // Only the block is read, so no size of file makes the reader hold more than a trace; no range
        // has this many points, so a reason always comes back.
        uint8_t raw[ParameterBlock::kBytes];
        if (std::fseek(in.get(), length - static_cast<long>(sizeof raw), SEEK_SET) != 0 ||
            std::fread(raw, 1, sizeof raw, in.get()) != sizeof raw)
            return Fail(TraceReadError::ReadError, error);
        const ParameterBlock block =
            ParameterBlock::Decode(std::span<const uint8_t, ParameterBlock::kBytes>(raw));
        return Fail(CheckShape(static_cast<uint64_t>(length), block, variant), error);
    }

    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return Fail(TraceReadError::ReadError, error);
    }
    if (std::fseek(in.get(), 0, SEEK_SET) != 0 ||
        std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size())
        return Fail(TraceReadError::ReadError, error);
    return DecodeTraceFile(bytes, variant, contents, error);
}

int WriteTraceFile(const std::filesystem::path& file, std::span<const uint32_t> samples,
                   const ParameterBlock& block) {
    if (samples.empty())
        return 0;
    const std::vector<uint8_t> bytes = EncodeTraceFile(samples, block);
    if (bytes.empty())
        return 0;
    return fileio::ReplaceFile(file, bytes) ? 1 : 0;
}

} // namespace tracefile
