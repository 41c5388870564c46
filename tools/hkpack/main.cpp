// hkpack: makes and inspects Hintkeeper databases.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <span>
#include <string>

#include "cli.h"
#include "commands.h"
#include "interrupt_cleanup.h"
#include "terminal_text.h"

namespace {

namespace pk = hk::pack;

const pk::OptionSpec kStore{"--store", "", "store the members instead of deflating them"};
const pk::OptionSpec kNoEncrypt{"--no-encrypt", "", "leave the members unencrypted"};

const pk::CommandSpec kCommands[] = {
    {"build",
     {"SRC", "OUT.dat"},
     {kStore, kNoEncrypt},
     "make a database from a source folder",
     "SRC holds index.tsv (one game per line: MEMBER<TAB>MODE<TAB>TITLE, MODE 1 for the\n"
     "fixed-pitch font, 0 for the proportional one; '#' lines are comments) and\n"
     "texts/MEMBER for every member, all UTF-8. Texts become Windows-1251 with CR LF\n"
     "line ends; members are deflated and encrypted with the viewer's password.\n"
     "A source the viewer could not use (a character without a Windows-1251 form, a\n"
     "zero byte in a text, a control character in a title or one longer than 1024\n"
     "bytes, a bad member name) stops the build with the file and line named. Only\n"
     "regular files of at most 256 MiB are read. OUT.dat is written through a\n"
     "temporary file beside it, appears only when whole and keeps the mode of the\n"
     "file it replaces.\n\n"
     "exit status: 0 written; 1 a source or OUT.dat has a problem; 64 usage error.\n",
     pk::BuildCommand},
    {"unpack",
     {"DATABASE", "DIR"},
     {},
     "write a database back out as a source folder",
     "Writes DIR/index.tsv and DIR/texts/MEMBER, UTF-8 with LF line ends, such that\n"
     "'hkpack build DIR' makes a database with the same members, byte for byte after\n"
     "extraction. Every member must extract cleanly with the viewer's password. A\n"
     "member the sources cannot represent (a lone CR or LF, a zero byte, the byte\n"
     "0x98, a mode other than 0 or 1, a member files.txt does not name) is an error\n"
     "naming it. DIR must not exist or be empty; it appears whole or not at all.\n\n"
     "exit status: 0 written; 1 the database cannot be read or represented, or DIR\n"
     "cannot be written; 64 usage error.\n",
     pk::UnpackCommand},
    {"cat",
     {"ARCHIVE", "MEMBER"},
     {{"--password", "P", "try P instead of the viewer's password (may be repeated)"}},
     "write one member to standard output",
     "MEMBER is matched as the viewer matches it: letters a to z in any case, in any\n"
     "folder, '*' and '?' as wildcards. Exactly one member must match and the reader\n"
     "must pass it clean: a CRC error, an unsupported compression method or damaged\n"
     "data is reported on standard error and nothing is written. (The viewer itself\n"
     "shows whatever bytes a damaged member gave.)\n\n"
     "exit status: 0 written; 1 no member or several match, no password opens it, or\n"
     "it is damaged; 2 the archive cannot be read or standard output cannot be\n"
     "written; 64 usage error.\n",
     pk::CatCommand},
    {"list",
     {"ARCHIVE"},
     {},
     "list the members: method, sizes, encryption, CRC and name",
     "Reads the archive's central directory, whatever its comment length.\n\n"
     "exit status: 0 listed; 1 the archive cannot be read or has no directory;\n"
     "64 usage error.\n",
     pk::ListCommand},
    {"check",
     {"ARCHIVE"},
     {},
     "open a database as the viewer does and read every game's text",
     "Loads the game index exactly as the viewer does at start-up, then fetches the\n"
     "text of every game. A title longer than 1024 bytes is a failure. Problems go\n"
     "to standard error, one per line; a summary line goes to standard output.\n\n"
     "exit status: 0 the viewer would show every game; 1 it would refuse the\n"
     "database or a game's text fails; 64 usage error.\n",
     pk::CheckCommand},
    {"synth",
     {"COUNT", "OUT.dat"},
     {kStore, kNoEncrypt},
     "make up a database of COUNT games (1 to 65531), for benchmarks",
     "The same COUNT always gives the same file.\n\n"
     "exit status: 0 written; 1 OUT.dat cannot be written; 64 usage error.\n",
     pk::SynthCommand},
};

int Misuse(const std::string& problem) {
    std::fprintf(stderr, "hkpack: %s\n%s", pk::TerminalText(problem).c_str(),
                 pk::Usage(kCommands).c_str());
    return pk::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    pk::InstallInterruptCleanup();
    const std::span<char* const> args(argv + 1, argv + argc);
    if (args.empty()) return Misuse("no command given");
    const std::string first = args[0];
    if (first == "--help" || first == "-h") {
        std::fputs(pk::Usage(kCommands).c_str(), stdout);
        return pk::kExitOk;
    }
    if (first == "--version") {
        std::printf("hkpack %s\n", HK_VERSION);
        return pk::kExitOk;
    }
    const pk::CommandSpec* command =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const pk::CommandSpec& c) { return c.name == first; });
    if (command == std::end(kCommands)) {
        return Misuse((first.starts_with('-') ? "unknown option " : "unknown command ") + first);
    }
    try {
        pk::Invocation invocation;
        if (!pk::ParseInvocation(*command, args.subspan(1), invocation)) {
            std::fputs(pk::CommandHelp(*command).c_str(), stdout);
            return pk::kExitOk;
        }
        return command->run(invocation);
    } catch (const pk::UsageError& e) {
        std::fprintf(stderr, "hkpack: %s\nusage: %s\nTry 'hkpack %s --help'.\n",
                     pk::TerminalText(e.what()).c_str(), pk::Synopsis(*command).c_str(),
                     first.c_str());
        return pk::kExitUsage;
    } catch (const std::exception& e) {
        return pk::Report(first == "cat" ? pk::kExitCannotRead : pk::kExitFailure, e.what());
    }
}
