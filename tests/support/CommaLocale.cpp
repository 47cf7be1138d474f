#include "tests/support/CommaLocale.h"

#include <cstdlib>

std::string MakeCommaLocale(const std::filesystem::path& folder) {
    const std::string name = "de_DE.UTF-8";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (std::filesystem::exists(folder / name, error))
        return name;
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / name).string() + "' >/dev/null 2>&1";
    // localedef warns, and may exit 1, on sources it still compiles; the folder is what counts.
    [[maybe_unused]] const int status = std::system(command.c_str());
    return std::filesystem::exists(folder / name / "LC_NUMERIC", error) ? name : std::string();
}
