// Arbitrary text as a scenario file. A failed parse must leave the scenario alone and name a line the
// text has; a parsed scenario must be one the board accepts, with its events by distance, that reads
// the same when written out again, with CR LF line ends or in upper case.
#include "simboard/Scenario.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct Outcome {
    bool parsed = false;
    simboard::Scenario scenario;
    std::string error;
};

Outcome Parse(std::string_view text) {
    Outcome o;
    o.scenario = simboard::DefaultScenario();
    o.parsed = simboard::ParseScenario(text, o.scenario, o.error);
    return o;
}

// Seventeen digits read back as the very double.
std::string Number(double value) {
    return platform::FormatGeneral(value, 17);
}

std::string Write(const simboard::Scenario& s) {
    std::string text;
    for (const simboard::FibreSection& f : s.fibres)
        text += "fibre " + Number(f.lengthKm) + " " + Number(f.att1310) + " " + Number(f.att1550) + " " +
                Number(f.index1310) + " " + Number(f.index1550) + "\n";
    for (const simboard::LinkEvent& e : s.events) {
        switch (e.kind) {
        case simboard::EventKind::Connector:
            text += "connector " + Number(e.km) + " " + Number(e.loss1310) + " " + Number(e.reflectanceDb);
            break;
        case simboard::EventKind::Splice:
            text += "splice " + Number(e.km) + " " + Number(e.loss1310);
            break;
        case simboard::EventKind::Bend:
            text += "bend " + Number(e.km) + " " + Number(e.loss1310) + " " + Number(e.loss1550);
            break;
        }
        text += "\n";
    }
    if (s.endKm >= 0.0)
        text += "end " + Number(s.endKm) + " " + Number(s.endReflectanceDb) + "\n";
    return text;
}

void CheckFailure(const Outcome& o, std::string_view text) {
    if (o.error.empty() || o.scenario != simboard::DefaultScenario())
        std::abort();
    constexpr std::string_view kLine = "line ";
    if (o.error.compare(0, kLine.size(), kLine) != 0)
        return;
    const char* digits = o.error.data() + kLine.size();
    long line = 0;
    const auto [end, ec] = std::from_chars(digits, o.error.data() + o.error.size(), line);
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;
    if (ec != std::errc() || *end != ':' || line < 1 || line > lines)
        std::abort();
}

void CheckSuccess(const simboard::Scenario& s) {
    std::string error;
    if (!simboard::ValidateScenario(s, error))
        std::abort();
    if (!std::is_sorted(
            s.events.begin(), s.events.end(),
            [](const simboard::LinkEvent& a, const simboard::LinkEvent& b) { return a.km < b.km; }))
        std::abort();
    const Outcome again = Parse(Write(s));
    if (!again.parsed || again.scenario != s)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Outcome o = Parse(text);
    if (o.parsed)
        CheckSuccess(o.scenario);
    else
        CheckFailure(o, text);

    std::string crlf;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            crlf += '\r';
        crlf += text[i];
    }
    const Outcome dos = Parse(crlf);
    if (dos.parsed != o.parsed || dos.scenario != o.scenario || dos.error != o.error)
        std::abort();

    // Words quoted in a message keep their case, so only the outcome must agree.
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    const Outcome shouted = Parse(upper);
    if (shouted.parsed != o.parsed || shouted.scenario != o.scenario)
        std::abort();
    return 0;
}
