#include "tools/otdrtool/TraceCommands.h"

#include "tools/otdrtool/Output.h"
#include "tools/otdrtool/SorCommands.h"
#include "tools/otdrtool/TraceInput.h"

#include "shared/analysis/EventTable.h"
#include "shared/sor/TraceConversion.h"
#include "shared/tracefile/RangeGeometry.h"
#include "shared/tracefile/TraceFile.h"

#include "platform/Numbers.h"

#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>

namespace {

constexpr options::Positional kFiles[] = {{.name = "FILE", .noun = "files", .many = true}};
constexpr options::Positional kFile[] = {{.name = "FILE", .noun = "file"}};

constexpr options::Option kInfoOptions[] = {
    {.name = "--json",
     .help = "one line per file: {\"samples\": N, \"params\": [9 words]}, for a .sor file {\"format\": "
             "\"sor\", ...}",
     .required = true},
};
constexpr options::Option kAnalyseOptions[] = {
    {.name = "--json", .help = "one line per file: {\"window\": W, \"end\": E, \"events\": [...]}"},
    {.name = "--threshold", .value = "DB", .help = "event threshold in place of each file's own"},
};
constexpr options::Option kExportOptions[] = {
    {.name = "--csv", .help = "print one line per sample: distance km,level dB"},
    {.name = "--sor", .help = "write the trace, its parameters and analysed events as a SOR file"},
    {.name = "-o", .value = "OUT.sor", .help = "the SOR file to write"},
};

// The readouts' own factor, in double so a level prints the same whatever its size.
constexpr double kDbPerLevelUnit = 0.0005;

bool ParseDecibels(const std::string& text, float& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    size_t used = 0;
    const double parsed = platform::ParseNumber(text, &used);
    if (used != text.size())
        return false;
    value = static_cast<float>(parsed);
    return std::isfinite(value);
}

// The parameters as the PC program takes them from a block.
struct PcParameters {
    float range;
    float wavelength;
    float pulseWidth;
    float threshold;
    int32_t attenuation;
    double kmPerSample;
};

PcParameters ReadAsPc(const tracefile::ParameterBlock& block) {
    PcParameters p{};
    p.range = tracefile::BlockRangeKm(block, tracefile::ReaderVariant::Pc);
    p.wavelength = static_cast<float>(block.m_iWaveLen / 100000);
    p.pulseWidth = static_cast<float>(block.m_iPulseWidth / 100000);
    p.threshold = tracefile::BlockRatio(block.m_fEventThreshold, tracefile::ReaderVariant::Pc);
    p.attenuation = block.m_iAttenuation;
    p.kmPerSample = tracefile::KilometresPerSample(
        p.range, tracefile::BlockRatio(block.m_fRefractive, tracefile::ReaderVariant::Pc),
        tracefile::BlockRatio(block.m_fCableRatio, tracefile::ReaderVariant::Pc));
    return p;
}

void AppendJson(std::string& out, const analysis::EventTable& table, double kmPerSample) {
    Append(out, "{\"window\": %u, \"end\": %u, \"events\": [", table.Window(), table.End());
    const char* separator = "";
    for (const analysis::EventRecord& e : table.Events()) {
        Append(out, "%s{\"position\": %u, \"type\": %d, \"loss\": %s, \"distance_km\": %s}", separator,
               e.position, e.type, platform::FormatGeneral(e.loss, 9).c_str(),
               platform::FormatFixed(e.position * kmPerSample, 6).c_str());
        separator = ", ";
    }
    out += "]}\n";
}

void AppendTable(std::string& out, const std::string& file, const PcParameters& p, float threshold,
                 const analysis::EventTable& table) {
    Append(out, "%s: range %s km, wavelength %s nm, pulse width %s ns, threshold %s dB\n", file.c_str(),
           platform::FormatGeneral(p.range, 6).c_str(), platform::FormatGeneral(p.wavelength, 6).c_str(),
           platform::FormatGeneral(p.pulseWidth, 6).c_str(), platform::FormatGeneral(threshold, 6).c_str());
    Append(out, "%-5s%-13s%-15s%s\n", "No.", "Type", "Distance (km)", "Loss (dB)");
    int number = 0;
    for (const analysis::EventRecord& e : table.Events()) {
        const std::string distance = platform::FormatFixed(e.position * p.kmPerSample, 4);
        const std::string loss = e.loss != 0.0f ? platform::FormatFixed(e.loss, 4) : "------";
        Append(out, "%-5d%-13s%-15s%s\n", ++number,
               e.type == analysis::Reflective ? "JointEvent" : "FusionEvent", distance.c_str(), loss.c_str());
    }
}

// A trace file keeps no date of its own; the programs show its modification time as the test date.
uint32_t MeasuredAt(const std::string& file) {
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    if (error)
        return 0;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(written).time_since_epoch());
    return seconds.count() < 0 ? 0 : static_cast<uint32_t>(std::min<int64_t>(seconds.count(), UINT32_MAX));
}

} // namespace

const options::Command kInfoCommand = {
    .name = "info",
    .summary = "print the sample count and stored words of trace files",
    .options = kInfoOptions,
    .positionals = kFiles,
};
const options::Command kAnalyseCommand = {
    .name = "analyse",
    .summary = "run the event analysis on trace files and list their events",
    .options = kAnalyseOptions,
    .positionals = kFiles,
};
const options::Command kExportCommand = {
    .name = "export",
    .summary = "print distance and level of every sample of a trace file, or write it as a SOR file",
    .options = kExportOptions,
    .positionals = kFile,
};

int RunInfoCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kInfoCommand, args, parsed, out, err, status))
        return status;
    for (const std::string& file : parsed.arguments) {
        if (IsSorName(file)) {
            sor::SorFile sorFile;
            if (LoadSor("info", file, sorFile, err))
                AppendSorInfo(out, sorFile);
            else
                status = 1;
            continue;
        }
        tracefile::TraceFileContents contents;
        if (!LoadTrace("info", file, contents, err)) {
            status = 1;
            continue;
        }
        const tracefile::ParameterBlock& b = contents.block;
        Append(out, "{\"samples\": %zu, \"params\": [%d, %d, %d, %d, %d, %d, %d, %d, %d]}\n",
               contents.samples.size(), b.range, b.m_iWaveLen, b.m_iPulseWidth, b.m_iAttenuation,
               b.m_iAvgTime, b.m_fRefractive, b.m_fCableRatio, b.m_fEventThreshold, b.testWay);
    }
    return status;
}

int RunAnalyseCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kAnalyseCommand, args, parsed, out, err, status))
        return status;
    const bool json = parsed.Given("--json");
    const bool thresholdGiven = parsed.Given("--threshold");
    float threshold = 0.0f;
    if (thresholdGiven && !ParseDecibels(parsed.Value("--threshold"), threshold)) {
        err = options::Failure(kAnalyseCommand, "--threshold needs a number of dB");
        return 2;
    }
    bool first = true;
    for (const std::string& file : parsed.arguments) {
        tracefile::TraceFileContents contents;
        if (!LoadTrace("analyse", file, contents, err)) {
            status = 1;
            continue;
        }
        const PcParameters p = ReadAsPc(contents.block);
        const float t = thresholdGiven ? threshold : p.threshold;
        // A table per file: the analysis keeps some values from one run to the next.
        analysis::EventTable table;
        table.AnalyseTrace(contents.samples, p.range, p.wavelength, p.pulseWidth, t, p.attenuation);
        if (json) {
            AppendJson(out, table, p.kmPerSample);
        } else {
            if (!first)
                out += "\n";
            AppendTable(out, file, p, t, table);
        }
        first = false;
    }
    return status;
}

int RunExportCommand(const std::vector<std::string>& args, std::string& out, std::string& err) {
    out.clear();
    err.clear();
    options::Parsed parsed;
    int status = 0;
    if (!options::ParseCommand(kExportCommand, args, parsed, out, err, status))
        return status;
    const bool csv = parsed.Given("--csv");
    if (csv == parsed.Given("--sor")) {
        err = options::Failure(kExportCommand, "give either --csv or --sor");
        return 2;
    }
    if (!csv && !parsed.Given("-o")) {
        err = options::Failure(kExportCommand, "--sor needs -o OUT.sor");
        return 2;
    }
    if (csv && parsed.Given("-o")) {
        err = options::Failure(kExportCommand, "--csv prints to standard output; -o goes with --sor");
        return 2;
    }
    const std::string& input = parsed.arguments[0];
    tracefile::TraceFileContents contents;
    if (!LoadTrace("export", input, contents, err))
        return 1;
    const PcParameters p = ReadAsPc(contents.block);
    if (csv) {
        for (size_t k = 0; k < contents.samples.size(); ++k)
            Append(out, "%s,%s\n", platform::FormatFixed(static_cast<double>(k) * p.kmPerSample, 6).c_str(),
                   platform::FormatFixed(contents.samples[k] * kDbPerLevelUnit, 4).c_str());
        return 0;
    }
    analysis::EventTable table;
    table.AnalyseTrace(contents.samples, p.range, p.wavelength, p.pulseWidth, p.threshold, p.attenuation);
    const std::vector<sor::TraceEvent> events = sor::AnalysedEvents(table);
    sor::SorFile file;
    sor::ConversionError error = sor::ConversionError::None;
    if (sor::ExportTrace(contents.samples, contents.block, events,
                         {MeasuredAt(input), "otdrtool", LUMETRA_VERSION}, file, &error) != 0) {
        err = "otdrtool export: " + input + ": " + sor::Describe(error) + "\n";
        return 1;
    }
    const std::string output = parsed.Value("-o");
    sor::SorError written = sor::SorError::None;
    if (sor::WriteFile(output, file, &written) != 0) {
        err = "otdrtool export: " + output + ": " + sor::Describe(written) + "\n";
        return 1;
    }
    Append(out, "%s: %zu samples, %zu events\n", output.c_str(), contents.samples.size(), events.size());
    return 0;
}
