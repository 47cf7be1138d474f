#include "simboard/Scenario.h"

#include "shared/fileio/HostFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace simboard {
namespace {

constexpr double kMaxLinkKm = 400.0;
constexpr double kMaxAttenuation = 10.0; // dB/km
constexpr double kMaxLoss = 20.0;        // dB
constexpr double kMinReflectance = -100.0;

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string CheckRange(double value, double low, double high, const char* what, const char* unit) {
    if (std::isfinite(value) && value >= low && value <= high)
        return {};
    return std::string(what) + " must lie in " + Number(low) + " .. " + Number(high) + unit + ", not " +
           Number(value);
}

std::string CheckSection(const FibreSection& s) {
    std::string e;
    if (!(std::isfinite(s.lengthKm) && s.lengthKm > 0.0 && s.lengthKm <= kMaxLinkKm))
        return "fibre length must lie above 0 and up to " + Number(kMaxLinkKm) + " km";
    if (!(e = CheckRange(s.att1310, 0.0, kMaxAttenuation, "attenuation at 1310 nm", " dB/km")).empty() ||
        !(e = CheckRange(s.att1550, 0.0, kMaxAttenuation, "attenuation at 1550 nm", " dB/km")).empty() ||
        !(e = CheckRange(s.index1310, 1.0, 2.0, "group index", "")).empty() ||
        !(e = CheckRange(s.index1550, 1.0, 2.0, "group index at 1550 nm", "")).empty())
        return e;
    return {};
}

std::string CheckEvent(const LinkEvent& ev) {
    std::string e;
    if (!(std::isfinite(ev.km) && ev.km > 0.0))
        return "distance must lie above 0 km";
    if (!(e = CheckRange(ev.loss1310, 0.0, kMaxLoss, "loss", " dB")).empty() ||
        !(e = CheckRange(ev.loss1550, 0.0, kMaxLoss, "loss", " dB")).empty())
        return e;
    if (ev.kind == EventKind::Connector)
        return CheckRange(ev.reflectanceDb, kMinReflectance, 0.0, "reflectance", " dB");
    return {};
}

const char* KindName(EventKind kind) {
    switch (kind) {
    case EventKind::Connector:
        return "connector";
    case EventKind::Splice:
        return "splice";
    case EventKind::Bend:
        return "bend";
    }
    return "event";
}

// What needs the whole link: the end within the fibre, every event before the end.
std::string CheckLink(const Scenario& s, const std::vector<int>* eventLines, int endLine) {
    const auto where = [](int line) {
        return line > 0 ? "line " + std::to_string(line) + ": " : std::string();
    };
    if (s.fibres.empty())
        return "no fibre section";
    const double length = s.LengthKm();
    if (length > kMaxLinkKm)
        return "the fibre sections add up to more than " + Number(kMaxLinkKm) + " km";
    if (s.endKm >= 0.0) {
        if (s.endKm <= 0.0 || s.endKm > length + 1e-9)
            return where(endLine) + "end at " + Number(s.endKm) + " km lies outside the fibre (0 .. " +
                   Number(length) + " km)";
        if (std::string e = CheckRange(s.endReflectanceDb, kMinReflectance, 0.0, "reflectance", " dB");
            !e.empty())
            return where(endLine) + e;
    }
    for (size_t i = 0; i < s.events.size(); ++i) {
        const LinkEvent& ev = s.events[i];
        if (ev.km >= s.EndKm())
            return where(eventLines ? (*eventLines)[i] : 0) + KindName(ev.kind) + " at " + Number(ev.km) +
                   " km lies at or beyond the fibre end at " + Number(s.EndKm()) + " km";
    }
    return {};
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool ToNumber(std::string_view word, double& value) {
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

} // namespace

double Scenario::LengthKm() const {
    double total = 0.0;
    for (const FibreSection& s : fibres)
        total += s.lengthKm;
    return total;
}

Scenario DefaultScenario() {
    Scenario s;
    s.fibres.push_back({12.0, 0.34, 0.20, 1.4680, 1.4685});
    // Each non-reflective event lies a merging distance of the analysis (3 km at 16 km) after the
    // reflective one before it, so the quick test lists it.
    s.events = {
        {EventKind::Connector, 1.3, 0.35, 0.35, -50.0},
        {EventKind::Splice, 4.5, 0.15, 0.15, 0.0},
        {EventKind::Connector, 6.2, 0.50, 0.50, -45.0},
        {EventKind::Bend, 9.4, 0.15, 0.60, 0.0},
    };
    s.endKm = 12.0;
    s.endReflectanceDb = kOpenEndReflectanceDb;
    return s;
}

bool ValidateScenario(const Scenario& scenario, std::string& error) {
    for (size_t i = 0; i < scenario.fibres.size(); ++i)
        if (std::string e = CheckSection(scenario.fibres[i]); !e.empty()) {
            error = "fibre " + std::to_string(i + 1) + ": " + e;
            return false;
        }
    for (size_t i = 0; i < scenario.events.size(); ++i) {
        if (std::string e = CheckEvent(scenario.events[i]); !e.empty()) {
            error = "event " + std::to_string(i + 1) + ": " + e;
            return false;
        }
        if (i > 0 && scenario.events[i].km < scenario.events[i - 1].km) {
            error = "event " + std::to_string(i + 1) + ": events must come in ascending distance";
            return false;
        }
    }
    error = CheckLink(scenario, nullptr, 0);
    return error.empty();
}

bool ParseScenario(std::string_view text, Scenario& out, std::string& error) {
    Scenario s;
    std::vector<int> eventLines;
    int endLine = 0;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t next = text.find('\n', pos);
        if (next == std::string_view::npos)
            next = text.size();
        std::string_view line = text.substr(pos, next - pos);
        pos = next + 1;
        ++lineNumber;
        if (line.size() - (line.ends_with('\r') ? 1 : 0) > kMaxScenarioLineChars) {
            error = "line " + std::to_string(lineNumber) + ": longer than " +
                    std::to_string(kMaxScenarioLineChars) + " characters";
            return false;
        }
        if (const size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const std::vector<std::string_view> words = Words(line);
        if (words.empty())
            continue;

        const std::string prefix = "line " + std::to_string(lineNumber) + ": ";
        const std::string keyword = Lower(words[0]);
        std::vector<double> v;
        for (size_t i = 1; i < words.size(); ++i) {
            double value = 0.0;
            if (!ToNumber(words[i], value)) {
                error = prefix + "'" + std::string(words[i]) + "' is not a number";
                return false;
            }
            v.push_back(value);
        }
        const auto arity = [&](size_t low, size_t high, const char* usage) {
            if (v.size() >= low && v.size() <= high)
                return true;
            error = prefix + "expected '" + usage + "'";
            return false;
        };

        std::string fault;
        if (keyword == "fibre" || keyword == "fiber") {
            if (!arity(4, 5, "fibre LENGTH_KM ATT1310 ATT1550 INDEX [INDEX1550]"))
                return false;
            const FibreSection section{v[0], v[1], v[2], v[3], v.size() == 5 ? v[4] : v[3]};
            fault = CheckSection(section);
            s.fibres.push_back(section);
        } else if (keyword == "connector" || keyword == "splice" || keyword == "bend") {
            LinkEvent ev;
            if (keyword == "connector") {
                if (!arity(3, 3, "connector KM LOSS_DB REFLECTANCE_DB"))
                    return false;
                ev = {EventKind::Connector, v[0], v[1], v[1], v[2]};
            } else if (keyword == "splice") {
                if (!arity(2, 2, "splice KM LOSS_DB"))
                    return false;
                ev = {EventKind::Splice, v[0], v[1], v[1], 0.0};
            } else {
                if (!arity(3, 3, "bend KM LOSS1310 LOSS1550"))
                    return false;
                ev = {EventKind::Bend, v[0], v[1], v[2], 0.0};
            }
            fault = CheckEvent(ev);
            s.events.push_back(ev);
            eventLines.push_back(lineNumber);
        } else if (keyword == "end") {
            if (!arity(2, 2, "end KM REFLECTANCE_DB"))
                return false;
            if (endLine != 0) {
                error = prefix + "a second end (the first is on line " + std::to_string(endLine) + ")";
                return false;
            }
            endLine = lineNumber;
            s.endKm = v[0];
            s.endReflectanceDb = v[1];
            if (!(std::isfinite(v[0]) && v[0] > 0.0))
                fault = "end distance must lie above 0 km";
            else
                fault = CheckRange(v[1], kMinReflectance, 0.0, "reflectance", " dB");
        } else {
            error = prefix + "unknown keyword '" + std::string(words[0]) +
                    "' (fibre, connector, splice, bend, end)";
            return false;
        }
        if (!fault.empty()) {
            error = prefix + fault;
            return false;
        }
    }

    // Events may be written in any order; the board walks them by distance.
    std::vector<size_t> order(s.events.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return s.events[a].km < s.events[b].km; });
    std::vector<LinkEvent> events;
    std::vector<int> lines;
    for (const size_t i : order) {
        events.push_back(s.events[i]);
        lines.push_back(eventLines[i]);
    }
    s.events = std::move(events);

    if (std::string e = CheckLink(s, &lines, endLine); !e.empty()) {
        error = e;
        return false;
    }
    out = std::move(s);
    return true;
}

bool LoadScenario(const std::filesystem::path& path, Scenario& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (const fileio::ReadResult read = fileio::ReadRegularFile(path, bytes, kMaxScenarioBytes);
        read != fileio::ReadResult::Ok) {
        error = path.string() + ": " + fileio::Describe(read);
        if (read == fileio::ReadResult::TooLarge)
            error += " (a scenario holds at most " + std::to_string(kMaxScenarioBytes) + " bytes)";
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseScenario(text, out, error)) {
        error = path.string() + ": " + error;
        return false;
    }
    return true;
}

} // namespace simboard
