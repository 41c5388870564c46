#pragma once

// Databases for the viewer's tests, written by the same code as `hkpack build`.
#include <cstdio>
#include <string>
#include <vector>

#include "database/cp1251.h"
#include "database_writer.h"

namespace hk::testing {

struct TestGame {
    std::string title;               // UTF-8
    std::string mode;                // "1" fixed pitch, anything else proportional
    std::vector<std::string> lines;  // UTF-8
};

// Writes a database of `games` to `path`, members named g0.txt, g1.txt, ...
inline void WriteTestDatabase(const std::string& path, const std::vector<TestGame>& games,
                              bool encrypt = true) {
    hk::pack::DatabaseSources sources;
    for (size_t i = 0; i < games.size(); ++i) {
        const std::string member = "g" + std::to_string(i) + ".txt";
        sources.games.push_back(
            {member, games[i].mode, *hk::database::Utf8ToCp1251(games[i].title)});
        std::string text;
        for (const auto& l : games[i].lines) text += *hk::database::Utf8ToCp1251(l) + "\r\n";
        sources.texts.emplace_back(member, text);
    }
    hk::pack::WriteOptions options;
    options.encrypt = encrypt;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    hk::pack::FileSink sink(f);
    hk::pack::WriteDatabase(sources, sink, options);
    std::fclose(f);
}

}  // namespace hk::testing
