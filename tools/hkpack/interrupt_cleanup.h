#pragma once

#include <signal.h>

#include <string>

// What hkpack leaves behind when it is stopped by SIGINT, SIGTERM or SIGHUP:
// nothing. Temporary files and folders are registered while they exist; the
// signal handler removes them (with system calls only, as a handler must) and
// then lets the signal end the process as it would have.
namespace hk::pack {

// Installs the handlers; a signal the process was started ignoring stays ignored.
void InstallInterruptCleanup();

// Holds SIGINT, SIGTERM and SIGHUP back for as long as it lives: a temporary
// is created and registered under one, so that no signal falls between the two.
class InterruptsHeld {
  public:
    InterruptsHeld();
    ~InterruptsHeld();
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

  private:
    sigset_t old_;
};

// Registers `path` (a file, or a folder removed with everything under it) for
// as long as the object lives. The path is kept as given, so it must not be
// relative to a folder the process later changes to.
class InterruptCleanup {
  public:
    InterruptCleanup(const std::string& path, bool folder);
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

  private:
    int slot_ = -1;  // -1 when the path did not fit the handler's table
};

}  // namespace hk::pack
