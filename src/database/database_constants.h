#pragma once

#include <cstddef>
#include <string_view>

// Fixed names and texts of the cheat database. Russian texts are Windows-1251
// bytes; the readable form is in the comment beside each.
namespace hk::database {

inline constexpr std::string_view kArchiveFileName = "hintkeeper.dat";
inline constexpr std::string_view kArchivePassword = "Mossgate r7.42 kQ";
inline constexpr std::string_view kReleaseTag = "Hintkeeper v1.30";

// The four index members, in the order the index load fetches them.
inline constexpr std::string_view kGamesMember = "games.txt";
inline constexpr std::string_view kFilesMember = "files.txt";
inline constexpr std::string_view kPitchesMember = "pitches.txt";
inline constexpr std::string_view kVersionMember = "version.txt";

// The longest title the tools put in a database, in bytes (characters: the
// code page has one byte each). The viewer shows, searches and prints no
// more of a longer one, so a hostile "games.txt" cannot stall it.
inline constexpr size_t kMaxTitleLength = 1024;

// The display-mode line that selects the fixed-pitch font; anything else is proportional.
inline constexpr std::string_view kFixedPitchMode = "1";

// «Ошибка при открытии файла "hintkeeper.dat". Возможно файл запорчен или
// предназначен для другой версии программы.» — the archive exists but cannot be used.
inline constexpr std::string_view kDamagedMessage =
    "\xCE\xF8\xE8\xE1\xEA\xE0 \xEF\xF0\xE8 \xEE\xF2\xEA\xF0\xFB\xF2\xE8\xE8 \xF4\xE0\xE9\xEB\xE0 "
    "\"hintkeeper.dat\". \xC2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xF4\xE0\xE9\xEB "
    "\xE7\xE0\xEF\xEE\xF0\xF7\xE5\xED \xE8\xEB\xE8 "
    "\xEF\xF0\xE5\xE4\xED\xE0\xE7\xED\xE0\xF7\xE5\xED \xE4\xEB\xFF \xE4\xF0\xF3\xE3\xEE\xE9 "
    "\xE2\xE5\xF0\xF1\xE8\xE8 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB.";

// «Ошибка открытия файла "hintkeeper.dat". Файл не найден.» — no file at the archive's path.
inline constexpr std::string_view kMissingMessage =
    "\xCE\xF8\xE8\xE1\xEA\xE0 \xEE\xF2\xEA\xF0\xFB\xF2\xE8\xFF \xF4\xE0\xE9\xEB\xE0 "
    "\"hintkeeper.dat\". \xD4\xE0\xE9\xEB \xED\xE5 \xED\xE0\xE9\xE4\xE5\xED.";

// «***Номер:» — the marker of an entry that lives only on the vendor site.
inline constexpr std::string_view kOnlineMarker = "***\xCD\xEE\xEC\xE5\xF0:";

}  // namespace hk::database
