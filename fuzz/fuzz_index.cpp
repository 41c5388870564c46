// The game index load over a fuzzed database archive beside the program, then
// a fetch of every game's text the index names, by a fresh walk each time
// and from one kept walk.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "database/DatabaseSession.h"

namespace {

// A private program folder holding only "hintkeeper.dat"; removed at exit.
class ProgramFolder {
  public:
    ProgramFolder() {
        char name[] = "/tmp/hk-fuzz-index-XXXXXX";
        if (!mkdtemp(name)) abort();
        folder_ = std::string(name) + "/";
        archive_ = folder_ + "hintkeeper.dat";
    }
    ~ProgramFolder() {
        std::remove(archive_.c_str());
        rmdir(folder_.c_str());
    }
    void write(const uint8_t* data, size_t size) {
        FILE* file = std::fopen(archive_.c_str(), "wb");
        if (!file || std::fwrite(data, 1, size, file) != size) abort();
        std::fclose(file);
    }
    const std::string& folder() const { return folder_; }

  private:
    std::string folder_;
    std::string archive_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ProgramFolder folder;
    folder.write(data, size);
    hk::database::DatabaseSession session(folder.folder());
    // The tools' session walks the directory once; it must judge alike.
    hk::database::DatabaseSession kept(folder.folder());
    kept.KeepDirectory();
    std::vector<std::string> titles, keptTitles;
    const bool loaded = session.LoadIndex(titles);
    if (kept.LoadIndex(keptTitles) != loaded || keptTitles != titles) __builtin_trap();
    if (loaded) {
        const size_t games = std::min<size_t>(titles.size(), 8);
        for (size_t game = 0; game < games; ++game) {
            const auto fetched = session.FetchMember(session.MemberNames().at(game));
            const auto again = kept.FetchMember(session.MemberNames().at(game));
            if (fetched.memberCount != again.memberCount || fetched.lines != again.lines)
                __builtin_trap();
            session.IsFixedPitch(game);
        }
    }
    session.ErrorMessage();
    return 0;
}
