#pragma once

#include <string>

#include "cli.h"

// The commands of hkpack; each returns the process's exit status and reports
// its failures on standard error, naming the file and what is wrong.
namespace hk::pack {

// cat: the archive cannot be read, or standard output refuses the bytes.
inline constexpr int kExitCannotRead = 2;

int BuildCommand(const Invocation& args);
int UnpackCommand(const Invocation& args);
int SynthCommand(const Invocation& args);
int CatCommand(const Invocation& args);
int ListCommand(const Invocation& args);
int CheckCommand(const Invocation& args);

// Writes "hkpack: " and the message to standard error; returns `status`.
int Report(int status, const std::string& message);

}  // namespace hk::pack
