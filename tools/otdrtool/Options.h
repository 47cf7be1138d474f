#pragma once
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The option parser every otdrtool command shares, so that usage, help and errors read the same.
namespace options {

struct Option {
    const char* name;            // "--range", "-o"
    const char* value = nullptr; // its value's name in the usage line; none for a flag
    const char* help = "";
    const char* fallback = nullptr; // the value when the option is not given
    bool required = false;
};

struct Positional {
    const char* name; // as in the usage line
    const char* noun; // as in "no files given"
    const char* help = nullptr;
    bool many = false; // may be given more than once
    bool optional = false;
};

struct Command {
    const char* name; // empty for the tool itself
    const char* summary;
    std::span<const Option> options = {};
    std::span<const Positional> positionals = {};
    // Options end at the first argument, so that later ones may begin with '-' (ini's values).
    bool optionsFirst = false;
};

enum class UsageError {
    None,
    UnknownOption,
    MissingValue,
    MissingOption,
    MissingArgument,
    UnexpectedArgument,
    UnknownCommand,
};

// The wording of each error; "%s" stands for the option or argument it is about.
const char* Describe(UsageError error);

struct Parsed {
    const Command* command = nullptr;
    bool help = false; // -h or --help anywhere outranks every error
    UsageError error = UsageError::None;
    std::string about; // what the error names
    std::vector<std::string> arguments;
    std::vector<std::pair<const Option*, std::string>> given;

    bool Given(std::string_view name) const;
    // An option given twice takes its later value; one not given its fallback, else "".
    std::string Value(std::string_view name) const;
};

Parsed Parse(const Command& command, const std::vector<std::string>& args);

std::string UsageLine(const Command& command);
std::string Help(const Command& command);
// "otdrtool COMMAND: PROBLEM" and the usage line, as every usage error prints it.
std::string Failure(const Command& command, const std::string& problem);
std::string Failure(const Command& command, UsageError error, const std::string& about);

// Parses a command's arguments. False when nothing is left to run: the help is in out (status 0) or a
// usage error in err (status 2).
bool ParseCommand(const Command& command, const std::vector<std::string>& args, Parsed& parsed,
                  std::string& out, std::string& err, int& status);

} // namespace options
