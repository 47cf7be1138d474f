#pragma once
#include "shared/tracefile/ParameterBlock.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tracefile {

// What a ".st" file holds: its samples (level units) and its parameter block.
struct TraceFileContents {
    std::vector<uint32_t> samples;
    ParameterBlock block;
};

// Why a read failed, for tools and logs; the programs themselves only see -1.
enum class TraceReadError {
    None,
    EmptyPath,
    CannotOpen,
    UnknownKind,
    TooShort,
    BadLength,
    BadBlock,
    WrongCount,
    ReadError
};
const char* Describe(TraceReadError error);

// Checks and decodes the bytes of a ".st" file as the given program does: 0 on success, -1 on failure
// with the reason in error. Nothing is handed over unless every check passed.
int DecodeTraceFile(std::span<const uint8_t> bytes, ReaderVariant variant, TraceFileContents& contents,
                    TraceReadError* error = nullptr);

// The bytes of a ".st" file of these samples and block: the samples, then the block. Whether they
// decode is the decoder's call (the count must fit the block's range). Empty only when the bytes
// cannot be held.
std::vector<uint8_t> EncodeTraceFile(std::span<const uint32_t> samples, const ParameterBlock& block);

// Reads a trace file as the given program does: 0 on success, -1 on failure. A ".sor" name is accepted
// without reading (0, no samples). Nothing is handed over unless every check passed, so a bad file
// never replaces a trace already held.
int ReadTraceFile(const std::filesystem::path& file, ReaderVariant variant, TraceFileContents& contents,
                  TraceReadError* error = nullptr);

// Writes samples and block as one ".st" file (replacing any file of that name). With no samples
// nothing is written and 0 comes back; 1 when the file was written.
int WriteTraceFile(const std::filesystem::path& file, std::span<const uint32_t> samples,
                   const ParameterBlock& block);

} // namespace tracefile
