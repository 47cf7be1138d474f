#pragma once
#include <filesystem>
#include <string>

// A German locale, whose decimal point is a comma, compiled with localedef into `folder` (use it with
// LOCPATH=folder). Returns its name, or an empty string when it cannot be made.
std::string MakeCommaLocale(const std::filesystem::path& folder);
