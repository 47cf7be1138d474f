#include "tools/layercheck/LayerCheck.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace layercheck {

namespace fs = std::filesystem;

const char* Describe(ManifestError error) {
    switch (error) {
    case ManifestError::None:
        return "no error";
    case ManifestError::CannotOpen:
        return "cannot open the manifest";
    case ManifestError::BadLine:
        return "a line is neither target, source nor link";
    }
    return "unknown error";
}

ManifestError ReadManifest(std::istream& in, std::vector<Target>& targets, int* badLine) {
    std::string line;
    bool inTarget = false;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty())
            continue;
        const size_t space = line.find(' ');
        const std::string word = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "target" && !value.empty()) {
            targets.push_back({value, {}, {}});
            inTarget = true;
        } else if ((word == "source" || word == "link") && !value.empty() && inTarget) {
            (word == "source" ? targets.back().sources : targets.back().links).push_back(value);
        } else {
            if (badLine)
                *badLine = number;
            return ManifestError::BadLine;
        }
    }
    return ManifestError::None;
}

namespace {

bool IsHeader(const fs::path& path) {
    return path.extension() == ".h";
}

class Graph {
public:
    Graph(const fs::path& root, const std::vector<Target>& targets) : root_(root) {
        for (const Target& target : targets) {
            byName_[target.name] = &target;
            for (const std::string& source : target.sources) {
                sourceOwners_[source].insert(target.name);
                folderOwners_[fs::path(source).parent_path().string()].insert(target.name);
            }
        }
    }

    // The targets a file of the project belongs to; empty for a file outside every target.
    std::set<std::string> Owners(const std::string& file) const {
        if (const auto it = sourceOwners_.find(file); it != sourceOwners_.end())
            return it->second;
        const fs::path path(file);
        if (IsHeader(path)) {
            for (const char* extension : {".cpp", ".c"}) {
                const std::string sibling = fs::path(path).replace_extension(extension).string();
                if (const auto it = sourceOwners_.find(sibling); it != sourceOwners_.end())
                    return it->second;
            }
        }
        if (const auto it = folderOwners_.find(path.parent_path().string()); it != folderOwners_.end())
            return it->second;
        return {};
    }

    // The target and everything it links, directly or not.
    const std::set<std::string>& Reach(const std::string& name) {
        if (const auto it = reach_.find(name); it != reach_.end())
            return it->second;
        std::set<std::string> reached{name};
        std::vector<std::string> pending{name};
        while (!pending.empty()) {
            const std::string next = pending.back();
            pending.pop_back();
            const auto target = byName_.find(next);
            if (target == byName_.end())
                continue;
            for (const std::string& link : target->second->links)
                if (reached.insert(link).second)
                    pending.push_back(link);
        }
        return reach_[name] = std::move(reached);
    }

    bool LinksQt(const std::string& name) {
        for (const std::string& reached : Reach(name))
            if (reached.rfind("Qt6::", 0) == 0)
                return true;
        return false;
    }

    // Every source and every header in the folders of the sources.
    std::set<std::string> Files() const {
        std::set<std::string> files;
        for (const auto& [source, owners] : sourceOwners_)
            files.insert(source);
        for (const auto& [folder, owners] : folderOwners_) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(root_ / folder, error))
                if (entry.is_regular_file() && IsHeader(entry.path()))
                    files.insert((fs::path(folder) / entry.path().filename()).string());
        }
        return files;
    }

private:
    fs::path root_;
    std::map<std::string, const Target*> byName_;
    std::map<std::string, std::set<std::string>> sourceOwners_;
    std::map<std::string, std::set<std::string>> folderOwners_;
    std::map<std::string, std::set<std::string>> reach_;
};

std::string Join(const std::set<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

} // namespace

std::vector<Violation> Check(const fs::path& root, const std::vector<Target>& targets) {
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    static const std::regex kQtHeader(R"(^Q[A-Za-z0-9]*(/.*)?$)");
    Graph graph(root, targets);
    std::vector<Violation> violations;
    for (const std::string& file : graph.Files()) {
        const std::set<std::string> owners = graph.Owners(file);
        std::ifstream in(root / file);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch match;
            if (!std::regex_search(line, match, kInclude))
                continue;
            const std::string include = match[2];
            for (const std::string& owner : owners) {
                std::string reason;
                if (match[1] == "<") {
                    if (std::regex_match(include, kQtHeader) && !graph.LinksQt(owner))
                        reason = owner + " is Qt-free";
                } else if (fs::is_regular_file(root / include)) {
                    const std::set<std::string> included = graph.Owners(include);
                    const std::set<std::string>& reach = graph.Reach(owner);
                    bool linked = included.empty();
                    for (const std::string& name : included)
                        linked = linked || reach.count(name) != 0;
                    if (!linked)
                        reason = "it belongs to " + Join(included) + ", which " + owner + " does not link";
                }
                if (!reason.empty()) {
                    violations.push_back({file, number, include, reason});
                    break;
                }
            }
        }
    }
    return violations;
}

} // namespace layercheck
