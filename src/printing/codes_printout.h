#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace hk::printing {

class TReportSystem;

// The main window's side of printing one game: the print button handler and
// the body writer that lays out the heading and the codes text. The owner
// keeps one instance for the window's lifetime; each press records afresh.
class CodesPrintout {
  public:
    explicit CodesPrintout(QWidget* owner);
    ~CodesPrintout();
    CodesPrintout(const CodesPrintout&) = delete;
    CodesPrintout& operator=(const CodesPrintout&) = delete;

    // itemIndex is the selected row of the game list (-1 when none: then
    // nothing happens); itemTextCp1251 that row's text; displayModeCp1251 the
    // game's entry of the display-mode list ("1" is fixed pitch); the view's
    // lines as the codes view holds them. Blocks while the modal preview is
    // open and calls OnClosed once the run is over (preview closed, or the
    // run cancelled or failed); not when nothing started.
    void CoolBitmapButton9Click(int itemIndex, const std::string& itemTextCp1251,
                                const std::string& displayModeCp1251,
                                const std::vector<std::string>& viewLinesCp1251);

    std::function<void()> OnClosed;

    // The report front object, for callers that need to adjust the run
    // (tests choose a PDF file or a printer through it).
    TReportSystem& ReportSystem1();

    // Counted up by the row-loop pass; keeps its last value after a run.
    int RowCounter() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace hk::printing
