#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hk::pack {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 64;  // EX_USAGE of sysexits.h

struct OptionSpec {
    std::string_view name;   // "--password"
    std::string_view value;  // the value's placeholder ("P"), empty for a switch
    std::string_view help;
};

// A command line after its command's name, split into operands and options.
struct Invocation {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options;  // in the order given

    bool Has(std::string_view option) const;
    std::vector<std::string> Values(std::string_view option) const;
};

struct CommandSpec {
    std::string_view name;
    std::vector<std::string_view> operands;  // placeholders, e.g. {"ARCHIVE", "MEMBER"}
    std::vector<OptionSpec> options;
    std::string_view summary;  // one line for the overall usage
    std::string_view details;  // the rest of `hkpack COMMAND --help`
    int (*run)(const Invocation&);
};

// A command line that makes no sense; the message says what is wrong.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Splits `args` (everything after the command's name). "--" ends the options;
// "-" alone is an operand. Returns false when --help or -h was asked for
// (nothing else is checked then). Throws UsageError for an unknown option, a
// missing option value or a wrong number of operands.
bool ParseInvocation(const CommandSpec& command, std::span<char* const> args, Invocation& out);

// "hkpack cat ARCHIVE MEMBER [--password P]..."
std::string Synopsis(const CommandSpec& command);

// The overall usage: every command's synopsis and summary.
std::string Usage(std::span<const CommandSpec> commands);

// What `hkpack COMMAND --help` prints.
std::string CommandHelp(const CommandSpec& command);

}  // namespace hk::pack
