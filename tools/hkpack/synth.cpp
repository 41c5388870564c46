#include <array>
#include <cstdio>
#include <random>

#include "database/cp1251.h"
#include "database/database_constants.h"
#include "database_writer.h"

namespace hk::pack {

namespace db = hk::database;

namespace {

constexpr std::array kTitleWords = {"Shadow",   "Iron",  "Crystal", "Lost",   "Galactic", "Dragon",
                                    "Turbo",    "Night", "Quest",   "Empire", "Racer",    "Legend",
                                    "Fortress", "Storm", "Zero",    "Arcane", "Rogue",    "Titan"};
constexpr std::array kPlatforms = {"PC", "PS", "Dendy", "Sega", "GBA", "N64"};
constexpr std::array kCodes = {"IDDQD", "IDKFA", "GODMODE", "FULLAMMO", "NOCLIP", "LEVEL",
                               "MONEY", "SPEED", "GHOST",   "ALLKEYS",  "WARP",   "BIGHEAD"};
constexpr std::array kRussianWords = {
    "бессмертие", "все",      "оружие",  "патроны", "уровень", "пропустить", "деньги",
    "ключи",      "здоровье", "режим",   "бога",    "введите", "во",         "время",
    "игры",       "нажмите",  "клавишу", "секрет",  "пароль",  "миссия",     "босс"};
constexpr std::array kSections = {"Коды", "Пароли уровней", "Секреты", "Советы", "Прохождение"};

class Generator {
  public:
    Generator() {
        for (const char* w : kRussianWords) russian_.push_back(*db::Utf8ToCp1251(w));
        for (const char* s : kSections) sections_.push_back(*db::Utf8ToCp1251(s));
        cyrillicTitle_ = *db::Utf8ToCp1251("Приключения");
    }

    GameEntry Game(size_t k) {
        std::mt19937 rng(Seed(k));
        GameEntry game;
        char member[32];
        std::snprintf(member, sizeof member, "g%05zu.txt", k);
        game.member = member;
        game.mode = rng() % 3 == 0 ? "1" : "0";
        const std::string first = rng() % 7 == 0 ? cyrillicTitle_ : Pick(kTitleWords, rng);
        game.title = first + " " + Pick(kTitleWords, rng) + " " + std::to_string(k % 9 + 1) + " (" +
                     Pick(kPlatforms, rng) + ")";
        return game;
    }

    std::string Text(size_t k) {
        std::mt19937 rng(Seed(k) ^ 0x9E3779B9u);
        if (k % 37 == 5) return std::string(db::kOnlineMarker) + std::to_string(1000 + k) + "\r\n";
        const size_t target = 1024 + rng() % 4096;
        std::string text;
        while (text.size() < target) {
            text += Pick(sections_, rng) + ":\r\n";
            const size_t rows = 3 + rng() % 8;
            for (size_t r = 0; r < rows; ++r) {
                // Code columns laid out with TABs, as the database authors did.
                text += Pick(kCodes, rng) + std::to_string(rng() % 100) + "\t" + Sentence(rng, 3) +
                        "\r\n";
            }
            text += Sentence(rng, 10 + rng() % 20) + ".\r\n\r\n";
        }
        return text;
    }

  private:
    static uint32_t Seed(size_t k) { return static_cast<uint32_t>(k * 2654435761u + 12345u); }

    template <typename List>
    static std::string Pick(const List& list, std::mt19937& rng) {
        return std::string(list[rng() % list.size()]);
    }

    std::string Sentence(std::mt19937& rng, size_t words) {
        std::string s;
        for (size_t i = 0; i < words; ++i) {
            if (i) s += ' ';
            s += Pick(russian_, rng);
        }
        return s;
    }

    std::vector<std::string> russian_;
    std::vector<std::string> sections_;
    std::string cyrillicTitle_;
};

}  // namespace

void WriteSyntheticDatabase(size_t count, ByteSink& sink, const WriteOptions& options) {
    Generator generator;
    std::vector<GameEntry> games;
    for (size_t k = 0; k < count; ++k) games.push_back(generator.Game(k));

    // The texts are made one at a time as they are written, so even a large
    // database never sits in memory whole.
    ZipWriter zip(sink, options.seed, options.dosTime, options.dosDate);
    const MemberOptions member = DatabaseMemberOptions(options);
    WriteIndexMembers(zip, games, member);
    for (size_t k = 0; k < count; ++k) zip.Add(games[k].member, generator.Text(k), member);
    zip.Finish();
}

}  // namespace hk::pack
