#include "archive/wildcard.h"

#include <vector>

namespace hk::archive {

namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Matches two texts in which "?" stands for one character and "*" for any
// run, on either side. Dynamic programming over suffixes keeps patterns with
// many stars linear in the product of the lengths instead of exponential.
bool textMatch(std::string_view a, std::string_view b) {
    const size_t n = a.size(), m = b.size();
    auto plain = [](std::string_view t) { return t.find_first_of("*?") == std::string_view::npos; };
    if (plain(a) && plain(b)) {
        // The common case, one exact member name: a plain comparison.
        if (n != m) return false;
        for (size_t i = 0; i < n; ++i)
            if (upper(a[i]) != upper(b[i])) return false;
        return true;
    }
    // row[j]: do a[i..] and b[j..] match, for the current i (filled backwards).
    std::vector<char> next(m + 1), row(m + 1);
    next[m] = 1;  // both empty
    for (size_t j = m; j-- > 0;) next[j] = b[j] == '*' && next[j + 1];
    for (size_t i = n; i-- > 0;) {
        row[m] = a[i] == '*' && next[m];
        for (size_t j = m; j-- > 0;) {
            bool ok;
            if (a[i] == '*' || b[j] == '*') {
                // The star swallows nothing, or one more character of the other side.
                ok = (a[i] == '*' && (next[j] || row[j + 1] || next[j + 1])) ||
                     (b[j] == '*' && (row[j + 1] || next[j] || next[j + 1]));
            } else {
                ok = (a[i] == '?' || b[j] == '?' || upper(a[i]) == upper(b[j])) && next[j + 1];
            }
            row[j] = ok;
        }
        std::swap(row, next);
    }
    return next[0];
}

// The rules for one part: an empty name part fits anything; an empty pattern
// part fits only a name part that starts with a star.
bool partMatch(std::string_view name, std::string_view pattern) {
    if (name.empty()) return true;
    if (pattern.empty()) return name.front() == '*';
    return textMatch(name, pattern);
}

struct Parts {
    std::string_view folder, file, extension;
};

Parts split(std::string_view path) {
    Parts p;
    const size_t slash = path.rfind('\\');
    p.folder = slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
    p.file = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = p.file.rfind('.');
    p.extension = dot == std::string_view::npos ? std::string_view{} : p.file.substr(dot);
    return p;
}

}  // namespace

bool wildcardMatch(std::string_view name, std::string_view pattern) {
    const Parts n = split(name);
    const Parts p = split(pattern);
    if (pattern.find('\\') != std::string_view::npos && !partMatch(n.folder, p.folder))
        return false;
    return partMatch(n.extension, p.extension) && partMatch(n.file, p.file);
}

}  // namespace hk::archive
