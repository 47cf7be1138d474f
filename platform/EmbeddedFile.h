#pragma once
#include <cstdint>
#include <span>

// Bytes linked into the program at build time (cmake/EmbedFile.cmake).
#define PLATFORM_EMBEDDED_FILE(symbol)                                                                       \
    extern "C" const uint8_t symbol##_begin[];                                                               \
    extern "C" const uint8_t symbol##_end[];                                                                 \
    inline std::span<const uint8_t> symbol() {                                                               \
        return {symbol##_begin, static_cast<size_t>(symbol##_end - symbol##_begin)};                         \
    }
