// One game's fetch (goal: under 3 ms) and the whole index load (goal: under
// 30 ms) on a synthetic database of 20,000 games, built once per run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "database/DatabaseSession.h"
#include "database_writer.h"

namespace {

constexpr size_t kGames = 20000;

// The database lives in a temporary folder for the run and goes with it.
class SyntheticDatabase {
  public:
    SyntheticDatabase() {
        std::string pattern = (std::filesystem::temp_directory_path() / "hkbench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        folder_ = pattern + "/";
        std::FILE* file = std::fopen((folder_ + "hintkeeper.dat").c_str(), "wb");
        if (!file) throw std::runtime_error("cannot create the database");
        hk::pack::FileSink sink(file);
        hk::pack::WriteOptions options;
        options.seed = 42;
        hk::pack::WriteSyntheticDatabase(kGames, sink, options);
        std::fclose(file);
    }
    ~SyntheticDatabase() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::string& Folder() const { return folder_; }

  private:
    std::string folder_;
};

void FetchOneGame(benchmark::State& state, const std::string& folder, size_t game) {
    hk::database::DatabaseSession session(folder);
    std::vector<std::string> titles;
    if (!session.LoadIndex(titles) || game >= titles.size()) {
        state.SkipWithError("the synthetic database does not load");
        return;
    }
    const std::string member = session.MemberNames()[game];
    for (auto _ : state) {
        hk::database::FetchResult result = session.FetchMember(member);
        if (!result.ok()) state.SkipWithError("fetch failed");
        benchmark::DoNotOptimize(result.lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(session.MemberText().size()));
}

void LoadIndex(benchmark::State& state, const std::string& folder) {
    hk::database::DatabaseSession session(folder);
    std::vector<std::string> titles;
    for (auto _ : state) {
        if (!session.LoadIndex(titles)) state.SkipWithError("index load failed");
        benchmark::DoNotOptimize(titles.data());
    }
    state.counters["games"] = static_cast<double>(titles.size());
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const SyntheticDatabase database;
    benchmark::RegisterBenchmark("FetchOneGame/first", FetchOneGame, database.Folder(), 0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FetchOneGame/middle", FetchOneGame, database.Folder(), kGames / 2)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("FetchOneGame/last", FetchOneGame, database.Folder(), kGames - 1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadIndex", LoadIndex, database.Folder())
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
