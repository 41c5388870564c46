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
//
// Copy protection: the text control underneath never holds a selection. What
// the user selects with the mouse or the keyboard is only painted over the
// text, so no copy command, X11 primary selection or drag can ever be handed
// the text, whatever the platform publishes selections on.
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
    // Length of what the view shows selected, in characters.
    int SelLength() const;

    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // Paints [anchor, caret) as selected and puts the caret at `caret`.
    void ShowSelection(int anchor, int caret);

    std::vector<std::string> lines_;
    QMenu* popupMenu_ = nullptr;
    int shownAnchor_ = 0;
    int shownCaret_ = 0;
    bool mouseSelecting_ = false;
};

}  // namespace hk::browser
