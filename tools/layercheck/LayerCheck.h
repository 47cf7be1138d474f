#pragma once
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace layercheck {

// A library or program as the build declares it: its sources (paths from the repository root) and the
// libraries it links directly (targets of the project, or imported ones such as Qt6::Widgets).
struct Target {
    std::string name;
    std::vector<std::string> sources;
    std::vector<std::string> links;
};

enum class ManifestError { None, CannotOpen, BadLine };
const char* Describe(ManifestError error);

// Reads the lines "target NAME", "source PATH" and "link NAME" the build writes.
ManifestError ReadManifest(std::istream& in, std::vector<Target>& targets, int* badLine = nullptr);

// An #include that the link graph does not allow.
struct Violation {
    std::string file; // from the repository root
    int line = 0;
    std::string include;
    std::string reason;
};

// Holds every #include of every source, and of every header beside them, against what the file's
// targets link: a header of the project belongs to the target whose source shares its name (or, for a
// header without one, to the targets with sources in its folder) and may be included only by that
// target and the targets linking it; a Qt header only by a target that links Qt.
std::vector<Violation> Check(const std::filesystem::path& root, const std::vector<Target>& targets);

} // namespace layercheck
