#include "tools/layercheck/LayerCheck.h"

#include <cstdio>
#include <fstream>

// layercheck MANIFEST ROOT: every #include of the project against the link graph; exit status 1 when
// any breaks it, 2 for bad usage or an unreadable manifest.
int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: layercheck MANIFEST ROOT\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    std::vector<layercheck::Target> targets;
    int badLine = 0;
    const layercheck::ManifestError error =
        in ? layercheck::ReadManifest(in, targets, &badLine) : layercheck::ManifestError::CannotOpen;
    if (error != layercheck::ManifestError::None) {
        std::fprintf(stderr, "layercheck: %s: %s (line %d)\n", argv[1], layercheck::Describe(error), badLine);
        return 2;
    }
    const std::vector<layercheck::Violation> violations = layercheck::Check(argv[2], targets);
    for (const layercheck::Violation& v : violations)
        std::printf("%s:%d: includes %s, but %s\n", v.file.c_str(), v.line, v.include.c_str(),
                    v.reason.c_str());
    std::printf("layercheck: %zu targets, %zu includes against their links\n", targets.size(),
                violations.size());
    return violations.empty() ? 0 : 1;
}
