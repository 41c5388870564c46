#include "interrupt_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace hk::pack {

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

// The handler may look at nothing but what is written here before a signal
// can see it: registration blocks the signals while it fills a slot.
struct Slot {
    char path[PATH_MAX];
    bool folder;
    volatile sig_atomic_t used;
};
// A process holds one temporary at a time (a database file or a source
// folder); a few slots spare.
Slot gSlots[4];

// Removes everything under the open folder `dir` and closes it. Source
// folders are two levels deep; the bound keeps a hostile tree from
// exhausting the stack.
void EmptyFolder(int dir, int depth) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = getdents64(dir, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (unlinkat(dir, name, 0) == 0) continue;
            if (depth > 0) {
                const int sub = openat(dir, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub >= 0) EmptyFolder(sub, depth - 1);
            }
            unlinkat(dir, name, AT_REMOVEDIR);
        }
    }
    close(dir);
}

extern "C" void RemoveTemporariesAndDie(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : gSlots) {
        if (!slot.used) continue;
        if (slot.folder) {
            const int dir = open(slot.path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (dir >= 0) EmptyFolder(dir, 4);
            rmdir(slot.path);
        } else {
            unlink(slot.path);
        }
        slot.used = 0;
    }
    errno = savedErrno;
    // Die of the signal itself, so the parent sees what stopped us.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

void InstallInterruptCleanup() {
    for (const int s : kSignals) {
        struct sigaction current {};
        if (sigaction(s, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveTemporariesAndDie;
        sigemptyset(&action.sa_mask);
        // One cleanup at a time: a second signal waits until the first is done.
        for (const int other : kSignals) sigaddset(&action.sa_mask, other);
        sigaction(s, &action, nullptr);
    }
}

InterruptsHeld::InterruptsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kSignals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &old_);
}

InterruptsHeld::~InterruptsHeld() {
    sigprocmask(SIG_SETMASK, &old_, nullptr);
}

InterruptCleanup::InterruptCleanup(const std::string& path, bool folder) {
    if (path.size() >= PATH_MAX) return;
    const InterruptsHeld held;
    for (int k = 0; k < static_cast<int>(std::size(gSlots)); ++k) {
        Slot& slot = gSlots[k];
        if (slot.used) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.folder = folder;
        slot.used = 1;
        slot_ = k;
        return;
    }
}

InterruptCleanup::~InterruptCleanup() {
    if (slot_ < 0) return;
    const InterruptsHeld held;
    gSlots[slot_].used = 0;
}

}  // namespace hk::pack
