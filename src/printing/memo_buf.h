#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "printing/base_report.h"

namespace hk::printing {

// A block of text printed on a report surface as lines between PrintStart and
// PrintEnd: breaks at blanks, keeps the text's line breaks as paragraph ends,
// splits a word wider than the line between characters, and prints a given
// number of lines at a time so that a caller can fill a page exactly.
class TMemoBuf {
  public:
    struct EmbeddedCode {
        std::string code;      // from 0x01 through 0x04, both included
        std::size_t position;  // index in the visible text where it applied
    };

    // Replaces the whole text; formatting codes (0x01 through the next 0x04
    // on the same line) are taken out and listed.
    void LoadText(const char* data, std::size_t size);
    void LoadText(const std::string& text) { LoadText(text.data(), text.size()); }

    // Prints up to count lines (0: all that remain; negative: none) and
    // returns the height printed in report units.
    double PrintLines(int count, bool tabPrefix);
    // Lines the rest of the text would take; the read position stays.
    int LineCount();
    // Takes the next line without printing it.
    std::string GetLine(bool* endOfParagraph = nullptr);

    void SaveState();
    void RestoreState();

    std::size_t TextLength() const { return text_.size(); }
    std::size_t ReadPosition() const { return readPosition_; }
    const std::string& Text() const { return text_; }
    const std::vector<EmbeddedCode>& Codes() const { return codes_; }

    double PrintStart = 0;
    double PrintEnd = 0;
    TPrintJustify Justification = pjLeft;
    TBaseReport* BaseReport = nullptr;
    bool KeepSpaces = false;
    bool HardLines = false;
    bool NoNewLine = false;
    bool NewParagraph = true;
    double LeftIndent = 0;
    double RightIndent = 0;

  private:
    enum class TokenKind { Empty, Break, Word };
    struct Token {
        TokenKind kind;
        std::string text;
    };
    Token TakeToken();
    std::string TakeLine(double width, bool& endOfParagraph);
    double LineWidthPixels() const;
    double TokenWidth(const std::string& token);
    void RequireReport() const;

    std::string text_;
    std::size_t readPosition_ = 0;
    bool lineStart_ = true;
    std::vector<EmbeddedCode> codes_;
    // Widths of tokens already measured, in the font and zoom they were measured with.
    std::unordered_map<std::string, double> tokenWidths_;
    TFontAttributes tokenFont_;
    double tokenZoom_ = 0;
    struct Saved {
        std::size_t readPosition;
        bool newParagraph;
        bool lineStart;
    } saved_{0, true, true};
};

}  // namespace hk::printing
