#include "tools/otdrtool/SorCommands.h"

#include "tools/otdrtool/Output.h"
#include "tools/otdrtool/TraceInput.h"

#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include "platform/Numbers.h"

namespace {

constexpr options::Positional kSorFile[] = {{.name = "FILE.sor", .noun = "SOR file"}};
constexpr options::Option kImportOptions[] = {
    {.name = "-o", .value = "OUT.st", .help = "the trace file to write", .required = true},
    {.name = "--range",
     .value = "KM",
     .help = "the instrument range to resample onto, in place of the shortest that holds the trace"},
};

const char* ChecksumText(sor::ChecksumStatus status) {
    switch (status) {
    case sor::ChecksumStatus::Matches:
        return "ok";
    case sor::ChecksumStatus::Mismatch:
        return "mismatch";
    case sor::ChecksumStatus::Absent:
        break;
    }
    return "absent";
}

std::string Number(double value) {
    return platform::FormatGeneral(value, 10);
}

} // namespace

const options::Command kImportCommand = {
    .name = "import",
    .summary = "resample a SOR file's trace onto the instrument's grid and write it as a trace file",
    .options = kImportOptions,
    .positionals = kSorFile,
};

void AppendSorInfo(std::string& out, const sor::SorFile& file) {
    Append(out, "{\"format\": \"sor\", \"version\": %d, \"wavelength_nm\": %s, \"pulse_ns\": [", file.version,
           Number(sor::WavelengthNm(file.fxd)).c_str());
    const char* separator = "";
    for (const sor::PulseSetting& pulse : file.fxd.pulses) {
        Append(out, "%s%u", separator, pulse.width);
        separator = ", ";
    }
    Append(out, "], \"index\": %s, \"points\": %u, \"spacing_m\": %s, \"checksum\": \"%s\", \"events\": [",
           Number(sor::GroupIndex(file.fxd)).c_str(), file.data.numberOfPoints,
           Number(sor::MetresPerPoint(file.fxd)).c_str(), ChecksumText(file.checksum));
    separator = "";
    for (const sor::KeyEvent& event : file.keyEvents.events) {
        Append(
            out,
            "%s{\"number\": %u, \"distance_km\": %s, \"code\": %s, \"loss_db\": %s, \"reflectance_db\": %s}",
            separator, event.number, Number(sor::EventDistanceKm(file.fxd, event)).c_str(),
            JsonString(std::string_view(event.code.data(), event.code.size())).c_str(),
            Number(event.loss / 1000.0).c_str(), Number(event.reflectance / 1000.0).c_str());
        separator = ", ";
    }
    out += "]}\n";
}

int RunImportCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kImportCommand, args, parsed, out, err, status))
        return status;
    float rangeKm = 0.0f;
    if (parsed.Given("--range")) {
        const std::string text = parsed.Value("--range");
        size_t used = 0;
        rangeKm = static_cast<float>(platform::ParseNumber(text, &used));
        if (text.empty() || used != text.size() || tracefile::PointsForRange(rangeKm) == 0) {
            err = options::Failure(kImportCommand,
                                   "--range must be one of 0.5, 1, 2, 4, 8, 16, 32, 64, 128 (km)");
            return 2;
        }
    }
    const std::string& input = parsed.arguments[0];
    const std::string output = parsed.Value("-o");
    sor::SorFile file;
    if (!LoadSor("import", input, file, err))
        return 1;
    sor::ImportedTrace imported;
    sor::ConversionError error = sor::ConversionError::None;
    if (sor::ImportTrace(file, rangeKm, imported, &error) != 0) {
        err = "otdrtool import: " + input + ": " + sor::Describe(error) + "\n";
        return 1;
    }
    if (tracefile::WriteTraceFile(output, imported.samples, imported.block) != 1) {
        err = "otdrtool import: " + output + ": cannot be written\n";
        return 1;
    }
    const tracefile::ParameterBlock& b = imported.block;
    const float range = tracefile::BlockRangeKm(b, tracefile::ReaderVariant::Pc);
    Append(out, "%s: %s km, %d nm, %d ns, index %s, %zu samples, from %s nm, %s ns, %u points\n",
           output.c_str(), Number(range).c_str(), b.m_iWaveLen / 100000, b.m_iPulseWidth / 100000,
           platform::FormatFixed(b.m_fRefractive / 100000.0, 5).c_str(), imported.samples.size(),
           Number(sor::WavelengthNm(file.fxd)).c_str(), Number(file.fxd.pulses.front().width).c_str(),
           file.data.numberOfPoints);
    if (imported.cut)
        Append(err, "otdrtool import: %s: the trace (%s km) runs past %s km and is cut there\n",
               input.c_str(), platform::FormatFixed(imported.traceKm, 3).c_str(), Number(range).c_str());
    return 0;
}
