#include "cli.h"

#include <algorithm>

namespace hk::pack {

bool Invocation::Has(std::string_view option) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& given) { return given.first == option; });
}

std::vector<std::string> Invocation::Values(std::string_view option) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : options) {
        if (name == option) values.push_back(value);
    }
    return values;
}

bool ParseInvocation(const CommandSpec& command, std::span<char* const> args, Invocation& out) {
    out = Invocation{};
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            out.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") return false;
        const auto spec = std::find_if(command.options.begin(), command.options.end(),
                                       [&](const OptionSpec& o) { return o.name == arg; });
        if (spec == command.options.end()) {
            throw UsageError(std::string(command.name) + ": unknown option " + arg);
        }
        if (spec->value.empty()) {
            out.options.emplace_back(arg, std::string());
        } else if (i + 1 < args.size()) {
            out.options.emplace_back(arg, args[++i]);
        } else {
            throw UsageError(std::string(command.name) + ": option " + arg + " needs a value " +
                             std::string(spec->value));
        }
    }
    if (out.operands.size() != command.operands.size()) {
        std::string expected;
        for (size_t k = 0; k < command.operands.size(); ++k) {
            expected += (k == 0 ? "" : k + 1 == command.operands.size() ? " and " : ", ");
            expected += command.operands[k];
        }
        throw UsageError(std::string(command.name) + " takes " + expected + ", given " +
                         std::to_string(out.operands.size()) + " operand" +
                         (out.operands.size() == 1 ? "" : "s"));
    }
    return true;
}

std::string Synopsis(const CommandSpec& command) {
    std::string line = "hkpack " + std::string(command.name);
    for (const std::string_view operand : command.operands) line += " " + std::string(operand);
    for (const OptionSpec& option : command.options) {
        line += " [" + std::string(option.name);
        if (!option.value.empty()) line += " " + std::string(option.value);
        line += "]";
        // Only option values may be given more than once.
        if (!option.value.empty()) line += "...";
    }
    return line;
}

std::string Usage(std::span<const CommandSpec> commands) {
    std::string text = "usage: hkpack COMMAND ARGUMENTS...\n\n";
    for (const CommandSpec& command : commands) {
        text += "  " + Synopsis(command) + "\n      " + std::string(command.summary) + "\n";
    }
    text +=
        "\n  hkpack COMMAND --help   what one command does, its options and exit status\n"
        "  hkpack --help           this text\n"
        "  hkpack --version        the release\n";
    return text;
}

std::string CommandHelp(const CommandSpec& command) {
    std::string text = "usage: " + Synopsis(command) + "\n\n" + std::string(command.summary) +
                       "\n\n" + std::string(command.details);
    if (!command.options.empty()) {
        text += "\noptions:\n";
        for (const OptionSpec& option : command.options) {
            std::string head = std::string(option.name);
            if (!option.value.empty()) head += " " + std::string(option.value);
            head.resize(std::max<size_t>(head.size() + 2, 16), ' ');
            text += "  " + head + std::string(option.help) + "\n";
        }
    }
    return text;
}

}  // namespace hk::pack
