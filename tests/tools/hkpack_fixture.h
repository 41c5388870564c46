// hkpack run as a user runs it: through its command line, in a folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace hk::testing {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command line through the shell, capturing stdout and stderr.
inline Outcome Shell(const std::string& command, const TempDir& dir) {
    const std::string errPath = dir / "stderr.txt";
    Outcome run;
    std::FILE* pipe = popen((command + " 2>'" + errPath + "'").c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.err = ReadFile(errPath);
    return run;
}

inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

class Hkpack : public ::testing::Test {
  protected:
    TempDir dir;
    std::string src = dir / "src";
    std::string out = dir / "out.dat";

    Outcome Pack(const std::string& args) { return Shell(Quote(HKPACK_PROGRAM) + " " + args, dir); }

    void WriteSources() {
        WriteFile(src + "/index.tsv",
                  "# comment line\n"
                  "\n"
                  "doom_pc.txt\t1\tDoom (PC)\n"
                  "online.txt\t0\tКвест онлайн (PC)\r\n"
                  "doom_pc.txt\t0\tDoom again (PC)\n");
        WriteFile(src + "/texts/doom_pc.txt", "Коды:\nIDDQD\tбессмертие\r\nIDKFA\tвсё\n");
        WriteFile(src + "/texts/online.txt", "***Номер:7731\n");
    }
};

}  // namespace hk::testing
