#pragma once

#include <QPlainTextEdit>
#include <limits>
#include <string>
#include <vector>

class QMenu;

namespace hk::browser {

// The codes view: a read-only multi-line text view whose lines are kept as
// the Windows-1251 bytes they were given (the print-out reads them back).
// Keyboard selection is collapsed on every key press and release, and the
// context menu is whatever menu the owner assigns.
class TCoolMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TCoolMemo(QWidget* parent = nullptr);

    // Replaces the whole text; each entry is one line. The view shows a line
    // of more than a thousand characters on several display lines, so that
    // no text, however long its lines, holds up the window; Lines() keeps it whole.
    void SetLines(std::vector<std::string> linesCp1251);
    const std::vector<std::string>& Lines() const { return lines_; }

    // Lines as the view shows them: with word wrap on, a long line that the
    // view breaks counts as several. Counting stops at `atMost`, so a caller
    // that only needs to know whether there are two need not lay out the rest.
    int DisplayLineCount(int atMost = std::numeric_limits<int>::max());

    void SetWordWrap(bool on);
    bool WordWrap() const;

    // Collapses the selection to the caret, which stays where it is.
    void SetSelLength0();
    int SelLength() const;

    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::vector<std::string> lines_;
    QMenu* popupMenu_ = nullptr;
};

}  // namespace hk::browser
