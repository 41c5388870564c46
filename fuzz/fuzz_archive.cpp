// The archive reader end to end on a whole archive file: every member, then
// one fixed name, without a password, with the right one and after a wrong
// one; last with every event assigned, the password typed in and the end
// record sought behind a comment. Last, the directory kept for many runs
// against fresh runs.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/TDecompMemoryStream.h"
#include "archive/TUnZip.h"
#include "fuzz_input.h"

namespace {

void extract(const std::string& path, const std::string& spec,
             const std::vector<std::string>& passwords, bool withEvents) {
    hk::archive::TUnZip unzip;
    if (withEvents) {
        // Asked for a password, answer a wrong one first, then the right one.
        int asked = 0;
        unzip.OnGetPassword = [asked](const std::string&, std::string& password,
                                      bool& tryAgain) mutable {
            password = ++asked == 1 ? "not it" : "Mossgate r7.42 kQ";
            tryAgain = asked <= 2;
        };
        unzip.OnCorruptZipHeader = [](uint8_t, bool& cancel) { cancel = false; };
        unzip.OnBegin = [](const std::string&, int, bool& go) { go = true; };
        unzip.OnEnd = [](const std::string&, bool) {};
        unzip.OnError = [](const std::string&, const std::string&, const std::string&, int) {};
        unzip.OnProgress = [](int, int) {};
        unzip.SetZipCmntBufSize(2000);
    }
    unzip.SetArchiveFile(path);
    unzip.FileSpec() = {spec};
    unzip.Passwords() = passwords;
    hk::archive::TDecompMemoryStream stream;
    int extracted = 0;
    try {
        extracted = unzip.ExtractToMemory(&stream);
    } catch (const hk::archive::E_RAISE&) {
        return;
    }
    // The records must describe bytes that exist.
    if (extracted < 0 || extracted > stream.MemberCount()) __builtin_trap();
    for (int32_t i = 0; i < stream.MemberCount(); ++i) {
        if (stream.MemberInfo(i).streamPosition > stream.Size()) __builtin_trap();
    }
}

// A directory walked once must answer every pattern as a fresh run does.
void compareKeptListing(const std::string& path, const std::string& password) {
    hk::archive::TUnZip fresh, kept;
    fresh.SetArchiveFile(path);
    kept.SetArchiveFile(path);
    try {
        kept.ListDirectory();
    } catch (const hk::archive::E_RAISE&) {
        return;
    }
    for (const char* spec : {"*.*", "games.txt", "*.txt"}) {
        hk::archive::TDecompMemoryStream a, b;
        fresh.FileSpec() = kept.FileSpec() = {spec};
        fresh.Passwords() = kept.Passwords() = {password};
        const int countA = fresh.ExtractToMemory(&a);
        const int countB = kept.ExtractListed(&b);
        if (countA != countB || a.Size() != b.Size()) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static hk::fuzz::MemoryFile file;
    const std::string& path = file.write(data, size);
    const std::string password = "Mossgate r7.42 kQ";
    extract(path, "*.*", {}, false);
    extract(path, "*.*", {password}, false);
    extract(path, "games.txt", {"wrong", password}, false);
    extract(path, "*.txt", {}, true);
    compareKeptListing(path, password);
    return 0;
}
