#include "printing/memo_buf.h"

#include <algorithm>
#include <stdexcept>

namespace hk::printing {

namespace {

constexpr std::size_t kMaxToken = 65520;
constexpr char kCodeStart = 0x01;
constexpr char kCodeEnd = 0x04;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

bool HasPrintable(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return !IsBlank(c); });
}

}  // namespace

void TMemoBuf::LoadText(const char* data, std::size_t size) {
    text_.clear();
    codes_.clear();
    text_.reserve(size);
    // A code closes on its own line; a code start without that end is
    // ordinary text, or everything after it would vanish from the page.
    std::size_t closer = 0;  // the code end or line break that ends the current code start
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != kCodeStart) {
            text_ += data[i];
            continue;
        }
        if (closer <= i) {
            closer = i + 1;
            while (closer < size && data[closer] != kCodeEnd && !IsBreak(data[closer])) ++closer;
        }
        if (closer == size || data[closer] != kCodeEnd) {
            text_ += data[i];
            continue;
        }
        codes_.push_back({std::string(data + i, closer + 1 - i), text_.size()});
        i = closer;
    }
    readPosition_ = 0;
    NewParagraph = true;
    lineStart_ = true;
}

void TMemoBuf::SaveState() {
    saved_ = {readPosition_, NewParagraph, lineStart_};
}

void TMemoBuf::RestoreState() {
    readPosition_ = saved_.readPosition;
    NewParagraph = saved_.newParagraph;
    lineStart_ = saved_.lineStart;
}

TMemoBuf::Token TMemoBuf::TakeToken() {
    if (readPosition_ >= text_.size()) return {TokenKind::Empty, {}};
    std::size_t start = readPosition_;
    std::size_t skipped = 0;
    while (readPosition_ < text_.size() && IsBlank(text_[readPosition_]) && skipped < kMaxToken) {
        ++readPosition_;
        ++skipped;
    }
    if (lineStart_) {
        // A wrapped line never starts with blanks; a paragraph keeps its indent.
        if (!NewParagraph && !KeepSpaces) start = readPosition_;
        NewParagraph = false;
        lineStart_ = false;
    }
    if (readPosition_ < text_.size() && IsBreak(text_[readPosition_])) {
        if (text_[readPosition_++] == '\r' && readPosition_ < text_.size() &&
            text_[readPosition_] == '\n')
            ++readPosition_;
        NewParagraph = true;
        return {TokenKind::Break, {}};
    }
    while (readPosition_ < text_.size() && readPosition_ - start < kMaxToken) {
        const char c = text_[readPosition_];
        if (IsBlank(c) || IsBreak(c)) break;
        ++readPosition_;
    }
    if (readPosition_ == start) return {TokenKind::Empty, {}};
    return {TokenKind::Word, text_.substr(start, readPosition_ - start)};
}

double TMemoBuf::TokenWidth(const std::string& token) {
    if (!(BaseReport->Font() == tokenFont_) || BaseReport->Zoom() != tokenZoom_) {
        tokenWidths_.clear();
        tokenFont_ = BaseReport->Font();
        tokenZoom_ = BaseReport->Zoom();
    }
    auto [it, added] = tokenWidths_.try_emplace(token, 0.0);
    if (added) it->second = BaseReport->TextWidthPixels(token);
    return it->second;
}

std::string TMemoBuf::TakeLine(double width, bool& endOfParagraph) {
    std::string line;
    double lineWidth = 0;
    endOfParagraph = false;
    lineStart_ = true;
    const bool startsParagraph = NewParagraph;
    // Measuring every candidate line from its start dominates the layout of a
    // long text. The sum of the token widths differs from the candidate's own
    // width only by kerning at the blanks, far less than this slack, so a sum
    // clearly below the width decides alike; near the edge the candidate is
    // measured as a whole.
    const double slack = 4 + width / 32;
    bool hasTab = false;
    for (;;) {
        const std::size_t before = readPosition_;
        Token token = TakeToken();
        if (token.kind != TokenKind::Word) {
            endOfParagraph = true;
            break;
        }
        const std::string candidate = line + token.text;
        hasTab = hasTab || token.text.find('\t') != std::string::npos;
        double w = hasTab ? width + slack : lineWidth + TokenWidth(token.text);
        if (w >= width - slack) w = BaseReport->TextWidthPixels(candidate);
        if (w > width) {
            readPosition_ = before;
        } else {
            line = candidate;
            lineWidth = w;
        }
        if (w >= width) break;
    }
    if (endOfParagraph || HasPrintable(line)) return line;

    // One word wider than the whole line: fill the line byte by byte. The
    // blanks in front of it would start a wrapped line, so they go.
    if (!startsParagraph && !KeepSpaces)
        while (readPosition_ < text_.size() && IsBlank(text_[readPosition_])) ++readPosition_;
    lineWidth = BaseReport->TextWidthPixels(line);
    while (readPosition_ < text_.size() && !IsBreak(text_[readPosition_])) {
        const std::string candidate = line + text_[readPosition_];
        double w = text_[readPosition_] == '\t'
                       ? width + slack
                       : lineWidth + TokenWidth(std::string(1, text_[readPosition_]));
        if (w >= width - slack) w = BaseReport->TextWidthPixels(candidate);
        lineWidth = w;
        // Even a single byte wider than the line is taken, or the text
        // would never advance.
        if (w > width && HasPrintable(line)) break;
        line = candidate;
        ++readPosition_;
        if (w >= width) break;
    }
    return line;
}

void TMemoBuf::RequireReport() const {
    if (!BaseReport) throw std::runtime_error("TMemoBuf.BaseReport not assigned.");
    if (PrintEnd <= PrintStart)
        throw std::runtime_error("TMemoBuf.PrintEnd must be greater than TMemoBuf.PrintStart");
}

double TMemoBuf::LineWidthPixels() const {
    return BaseReport->XU2D(PrintEnd) - BaseReport->XU2D(PrintStart) + 1;
}

double TMemoBuf::PrintLines(int count, bool tabPrefix) {
    if (count < 0) return 0;
    RequireReport();
    const double width = LineWidthPixels();
    double height = 0;
    for (int i = 0;
         count == 0 ? readPosition_ < text_.size() : (i < count && readPosition_ < text_.size());
         ++i) {
        SaveState();
        bool endOfParagraph = false;
        std::string line = TakeLine(width, endOfParagraph);
        if (i > 0) BaseReport->NextLine();
        height += BaseReport->LineHeight();
        TPrintJustify justify = Justification;
        if (justify == pjBlock && endOfParagraph) justify = pjLeft;
        if (tabPrefix) line.insert(0, static_cast<std::size_t>(BaseReport->TabStopCount()), '\t');
        const double x =
            (BaseReport->ColumnNumber() - 1) * BaseReport->ColumnWidth() + PrintStart + LeftIndent;
        const double w = PrintEnd - PrintStart - LeftIndent - RightIndent;
        BaseReport->PrintAligned(line, justify, w, x);
    }
    if (!NoNewLine) BaseReport->NextLine();
    return height;
}

int TMemoBuf::LineCount() {
    RequireReport();
    const double width = LineWidthPixels();
    const Saved keep{readPosition_, NewParagraph, lineStart_};
    int lines = 0;
    while (readPosition_ < text_.size()) {
        bool eop = false;
        TakeLine(width, eop);
        ++lines;
    }
    readPosition_ = keep.readPosition;
    NewParagraph = keep.newParagraph;
    lineStart_ = keep.lineStart;
    return lines;
}

std::string TMemoBuf::GetLine(bool* endOfParagraph) {
    RequireReport();
    bool eop = false;
    std::string line = TakeLine(LineWidthPixels(), eop);
    if (endOfParagraph) *endOfParagraph = eop;
    return line;
}

}  // namespace hk::printing
