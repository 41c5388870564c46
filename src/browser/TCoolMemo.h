#pragma once

#include <QPlainTextEdit>
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

    // Replaces the whole text; each entry is one line.
    void SetLines(std::vector<std::string> linesCp1251);
    const std::vector<std::string>& Lines() const { return lines_; }

    // Lines as the view shows them: with word wrap on, a long line that the
    // view breaks counts as several.
    int DisplayLineCount();

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
