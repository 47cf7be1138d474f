#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace simboard {

// Reflectance of a cleaved, open glass end (Fresnel reflection at glass and air).
constexpr double kOpenEndReflectanceDb = -14.0;

// One length of fibre; sections follow each other from the instrument's front panel on.
struct FibreSection {
    double lengthKm = 0.0;
    double att1310 = 0.0; // dB/km
    double att1550 = 0.0;
    double index1310 = 1.468; // group index
    double index1550 = 1.468;
    bool operator==(const FibreSection&) const = default;
};

enum class EventKind { Connector, Splice, Bend };

// A point event at a distance from the front panel.
struct LinkEvent {
    EventKind kind = EventKind::Splice;
    double km = 0.0;
    double loss1310 = 0.0; // dB, one way
    double loss1550 = 0.0;
    double reflectanceDb = 0.0; // connectors only
    bool operator==(const LinkEvent&) const = default;
};

struct Scenario {
    std::vector<FibreSection> fibres;
    std::vector<LinkEvent> events; // ascending distance
    double endKm = -1.0;           // where the light stops; below 0: where the last section ends
    double endReflectanceDb = kOpenEndReflectanceDb;

    double LengthKm() const;
    double EndKm() const { return endKm < 0.0 ? LengthKm() : endKm; }
    bool operator==(const Scenario&) const = default;
};

// The built-in link: 12 km with two connectors, a splice, a bend and an open far end.
Scenario DefaultScenario();

// Checks what a scenario built in code holds; the error names the first fault.
bool ValidateScenario(const Scenario& scenario, std::string& error);

// What a scenario may hold: more than any link needs, little enough that a wrong file costs nothing.
constexpr size_t kMaxScenarioBytes = 1u << 20;
constexpr size_t kMaxScenarioLineChars = 4096; // without the line end

// The text format of SCENARIOS.md; on failure `out` is left alone and `error` reads "line N: ...".
bool ParseScenario(std::string_view text, Scenario& out, std::string& error);
// Reads a regular file of at most kMaxScenarioBytes (a folder, FIFO or device is refused unopened) and
// parses it; the error begins with the file's name.
bool LoadScenario(const std::filesystem::path& path, Scenario& out, std::string& error);

} // namespace simboard
