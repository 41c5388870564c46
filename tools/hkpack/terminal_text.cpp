#include "terminal_text.h"

#include <cstdio>
#include <optional>

#include "database/cp1251.h"

namespace hk::pack {

namespace {

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte < 0x7F) {
            out.push_back(text[at++]);
            continue;
        }
        const size_t start = at;
        const std::optional<char32_t> code =
            byte < 0x80 ? std::nullopt : hk::database::DecodeUtf8(text, at);
        if (!code) {
            AppendEscape(out, "\\x%02x", byte);
            at = start + 1;
        } else if (*code >= 0x80 && *code < 0xA0) {
            AppendEscape(out, "\\u%04x", static_cast<unsigned>(*code));
        } else {
            out.append(text.substr(start, at - start));
        }
    }
    return out;
}

}  // namespace hk::pack
