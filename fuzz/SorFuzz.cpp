// Arbitrary bytes as a SOR file: no read may crash or read past the bytes, a refused file leaves the
// file held alone, and what was accepted is written and read back with every field the same.
#include "shared/sor/SorFile.h"

#include <cstdint>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly size bytes, so a read past them is a read past the allocation.
    const std::vector<uint8_t> bytes(data, data + size);
    sor::SorFile file;
    file.sup.supplier = "held";
    const sor::SorFile held = file;
    sor::SorError error = sor::SorError::None;
    if (sor::Read(bytes, file, &error) != 0) {
        if (error == sor::SorError::None || file.sup != held.sup || file.data != held.data)
            __builtin_trap();
        return 0;
    }
    if (error != sor::SorError::None)
        __builtin_trap();
    const std::vector<uint8_t> written = sor::Write(file);
    sor::SorFile again;
    if (written.empty() || sor::Read(written, again) != 0 || again.version != 2 ||
        again.checksum != sor::ChecksumStatus::Matches || again.gen != file.gen || again.sup != file.sup ||
        again.fxd != file.fxd || again.keyEvents != file.keyEvents || again.data != file.data ||
        again.others != file.others)
        __builtin_trap();
    return 0;
}
