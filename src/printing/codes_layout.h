#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "printing/base_report.h"
#include "printing/memo_buf.h"

namespace hk::printing {

// The two heading lines made from a game list entry such as "Space Race (PC)":
// the text before the "(" less the one character in front of it, and the text
// after it less the entry's last character.
struct CodesHeading {
    std::string first;
    std::string second;
};
CodesHeading SplitHeading(const std::string& entry);

// Only the exact mode text "1" is the fixed-pitch display mode.
inline bool IsFixedPitchMode(const std::string& mode) {
    return mode == "1";
}

// The row-loop shell, as far as the print-out uses it: with only OnRowAfter
// assigned it prints nothing and asks after each row whether another follows.
class TDetailShell {
  public:
    using RowEvent = std::function<void(TBaseReport&, TDetailShell&, bool& Valid)>;
    using Event = std::function<void(TBaseReport&, TDetailShell&)>;

    void RunRows(TBaseReport& report);

    Event OnBodyBefore, OnBodyHeader, OnBodyFooter, OnBodyAfter;
    RowEvent OnRowBefore, OnRowPrint, OnRowAfter;
    bool StartNewPage = false;
    bool FirstRowOnPage() const { return firstOnPage_; }

  private:
    bool firstOnPage_ = true;
};

// The print-out of one game: what the selected list entry, its display mode
// and the codes view's lines become on the report surface.
class CodesReport {
  public:
    std::string SelectedEntry;
    bool FixedPitch = false;
    std::vector<std::string> ViewLines;

    // The body writer of the report run.
    void ReportSystem1Print(TBaseReport& R);
    void DetailShell1RowAfter(TBaseReport& R, TDetailShell& shell, bool& Valid);

    int RowCounter = 0;
    TDetailShell DetailShell1;

    CodesReport();

  private:
    std::unique_ptr<TMemoBuf> CodesBuffer;
};

}  // namespace hk::printing
