#include "tools/otdrtool/Options.h"

#include <algorithm>

namespace options {

namespace {

constexpr size_t kLineWidth = 100;
constexpr const char* kHelpName = "-h, --help";

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

const Option* Find(const Command& command, std::string_view name) {
    for (const Option& option : command.options)
        if (name == option.name)
            return &option;
    return nullptr;
}

std::string Spelled(const Option& option) {
    return option.value ? std::string(option.name) + " " + option.value : option.name;
}

std::string Spelled(const Positional& positional) {
    std::string text = positional.name;
    if (positional.many)
        text += "...";
    return positional.optional ? "[" + text + "]" : text;
}

std::string Prefix(const Command& command) {
    return *command.name ? std::string("otdrtool ") + command.name : "otdrtool";
}

void AppendColumns(std::string& text, const std::string& left, size_t width, const std::string& right) {
    text += "  " + left + std::string(width - left.size() + 2, ' ') + right + "\n";
}

} // namespace

const char* Describe(UsageError error) {
    switch (error) {
    case UsageError::None:
        return "no error";
    case UsageError::UnknownOption:
        return "unknown option %s";
    case UsageError::MissingValue:
        return "%s needs a value";
    case UsageError::MissingOption:
        return "%s is required";
    case UsageError::MissingArgument:
        return "no %s given";
    case UsageError::UnexpectedArgument:
        return "unexpected argument %s";
    case UsageError::UnknownCommand:
        return "unknown command %s";
    }
    return "unknown usage error";
}

bool Parsed::Given(std::string_view name) const {
    return std::any_of(given.begin(), given.end(),
                       [&](const auto& entry) { return name == entry.first->name; });
}

std::string Parsed::Value(std::string_view name) const {
    for (auto entry = given.rbegin(); entry != given.rend(); ++entry)
        if (name == entry->first->name)
            return entry->second;
    const Option* option = command ? Find(*command, name) : nullptr;
    return option && option->fallback ? option->fallback : "";
}

Parsed Parse(const Command& command, const std::vector<std::string>& args) {
    Parsed parsed;
    parsed.command = &command;
    const auto fail = [&parsed](UsageError error, const std::string& about) {
        if (parsed.error == UsageError::None) {
            parsed.error = error;
            parsed.about = about;
        }
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !IsOption(arg)) {
            parsed.arguments.push_back(arg);
            optionsEnded = command.optionsFirst;
        } else if (arg == "-h" || arg == "--help") {
            parsed.help = true;
        } else if (const Option* option = Find(command, arg); !option) {
            fail(UsageError::UnknownOption, arg);
        } else if (!option->value) {
            parsed.given.emplace_back(option, "");
        } else if (i + 1 == args.size()) {
            fail(UsageError::MissingValue, arg);
        } else {
            // Taken whatever it looks like: a threshold may be negative.
            parsed.given.emplace_back(option, args[++i]);
        }
    }
    if (parsed.help) {
        parsed.error = UsageError::None;
        parsed.about.clear();
        return parsed;
    }
    for (const Option& option : command.options)
        if (option.required && !parsed.Given(option.name))
            fail(UsageError::MissingOption, Spelled(option));
    size_t needed = 0;
    for (const Positional& positional : command.positionals)
        needed += positional.optional ? 0 : 1;
    const bool unbounded = !command.positionals.empty() && command.positionals.back().many;
    if (parsed.arguments.size() < needed)
        fail(UsageError::MissingArgument, command.positionals[parsed.arguments.size()].noun);
    else if (!unbounded && parsed.arguments.size() > command.positionals.size())
        fail(UsageError::UnexpectedArgument, parsed.arguments[command.positionals.size()]);
    return parsed;
}

std::string UsageLine(const Command& command) {
    std::vector<std::string> words;
    for (const Option& option : command.options)
        words.push_back(option.required ? Spelled(option) : "[" + Spelled(option) + "]");
    for (const Positional& positional : command.positionals)
        words.push_back(Spelled(positional));
    const std::string start = "usage: " + Prefix(command);
    std::string text = start;
    size_t lineStart = 0;
    for (const std::string& word : words) {
        if (text.size() - lineStart + 1 + word.size() > kLineWidth &&
            text.size() - lineStart > start.size()) {
            lineStart = text.size() + 1;
            text += "\n" + std::string(start.size(), ' ');
        }
        text += " " + word;
    }
    return text + "\n";
}

std::string Help(const Command& command) {
    size_t width = std::string(kHelpName).size();
    for (const Option& option : command.options)
        width = std::max(width, Spelled(option).size());
    for (const Positional& positional : command.positionals)
        width = std::max(width, std::string(positional.name).size());
    std::string text = UsageLine(command) + command.summary + "\n";
    std::string arguments;
    for (const Positional& positional : command.positionals)
        if (positional.help)
            AppendColumns(arguments, positional.name, width, positional.help);
    if (!arguments.empty())
        text += "\narguments:\n" + arguments;
    text += "\noptions:\n";
    for (const Option& option : command.options) {
        std::string help = option.help;
        if (option.fallback)
            help += std::string(" (default ") + option.fallback + ")";
        AppendColumns(text, Spelled(option), width, help);
    }
    AppendColumns(text, kHelpName, width, "print this help");
    return text;
}

std::string Failure(const Command& command, const std::string& problem) {
    return Prefix(command) + ": " + problem + "\n" + UsageLine(command);
}

std::string Failure(const Command& command, UsageError error, const std::string& about) {
    std::string problem = Describe(error);
    if (const size_t at = problem.find("%s"); at != std::string::npos)
        problem.replace(at, 2, about);
    return Failure(command, problem);
}

bool ParseCommand(const Command& command, const std::vector<std::string>& args, Parsed& parsed,
                  std::string& out, std::string& err, int& status) {
    parsed = Parse(command, args);
    if (parsed.help) {
        out = Help(command);
        status = 0;
        return false;
    }
    if (parsed.error != UsageError::None) {
        err = Failure(command, parsed.error, parsed.about);
        status = 2;
        return false;
    }
    return true;
}

} // namespace options
