// Arbitrary bytes as a SOR file: no read may crash or read past the bytes, a refused file leaves the
// file held alone, and what was accepted is written and read back with every field the same. An accepted
// file that imports gives a trace both programs open, which exports and imports again as the same trace.
#include "shared/sor/SorFile.h"
#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/RangeGeometry.h"

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

    sor::ImportedTrace imported;
    if (sor::ImportTrace(file, 0.0f, imported) != 0)
        return 0;
    const float range = tracefile::BlockRangeKm(imported.block, tracefile::ReaderVariant::Pc);
    if (imported.samples.size() != tracefile::PointsForRange(range) ||
        !tracefile::IsValidBlock(imported.block, tracefile::ReaderVariant::Instrument))
        __builtin_trap();
    sor::SorFile exported;
    sor::ImportedTrace back;
    if (sor::ExportTrace(imported.samples, imported.block, {}, {}, exported) != 0)
        return 0; // levels too large for the fields
    if (sor::Read(sor::Write(exported), again) != 0 || sor::ImportTrace(again, 0.0f, back) != 0 ||
        back.samples != imported.samples || back.block != imported.block)
        __builtin_trap();
    return 0;
}
