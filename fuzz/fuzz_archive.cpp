// The archive reader end to end on a whole archive file: every member, then
// one fixed name, without a password, with the right one and after a wrong one.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/TDecompMemoryStream.h"
#include "archive/TUnZip.h"
#include "fuzz_input.h"

namespace {

void extract(const std::string& path, const std::string& spec,
             const std::vector<std::string>& passwords) {
    hk::archive::TUnZip unzip;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static hk::fuzz::MemoryFile file;
    const std::string& path = file.write(data, size);
    const std::string password = "Mossgate r7.42 kQ";
    extract(path, "*.*", {});
    extract(path, "*.*", {password});
    extract(path, "games.txt", {"wrong", password});
    return 0;
}
