#include "browser/TCoolMemo.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <climits>

#include "browser/display_text.h"
#include "toolkit/codepage.h"

namespace hk::browser {

TCoolMemo::TCoolMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Read-only, yet the caret moves with the keyboard as in any text view.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setUndoRedoEnabled(false);
}

void TCoolMemo::SetLines(std::vector<std::string> linesCp1251) {
    lines_ = std::move(linesCp1251);
    // One document build for the whole text: appending line by line lays out
    // and repaints after each line, which is slow on long entries.
    QString text = hk::toolkit::fromCp1251(DisplayText(lines_));
    text.replace(QChar(kLineInParagraph), QChar::LineSeparator);
    setPlainText(text);
}

int TCoolMemo::DisplayLineCount(int atMost) {
    if (lines_.empty()) return 0;
    const int lines = static_cast<int>(std::min<size_t>(lines_.size(), INT_MAX));
    // Every line shows as one display line at least.
    if (lines >= atMost) return atMost;
    if (lineWrapMode() == QPlainTextEdit::NoWrap) return lines;
    int count = 0;
    for (QTextBlock b = document()->firstBlock(); b.isValid() && count < atMost; b = b.next()) {
        // Asking for the block's rectangle lays the block out at the view's
        // current width if it has not been laid out yet.
        document()->documentLayout()->blockBoundingRect(b);
        const QTextLayout* layout = b.layout();
        count += (layout && layout->lineCount() > 0) ? layout->lineCount() : 1;
    }
    return std::min(count, atMost);
}

void TCoolMemo::SetWordWrap(bool on) {
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TCoolMemo::WordWrap() const {
    return lineWrapMode() != QPlainTextEdit::NoWrap;
}

void TCoolMemo::SetSelLength0() {
    QTextCursor c = textCursor();
    if (!c.hasSelection()) return;
    c.clearSelection();
    setTextCursor(c);
}

int TCoolMemo::SelLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TCoolMemo::keyPressEvent(QKeyEvent* event) {
    // Collapsing before the view acts on the key also keeps Ctrl+C from
    // copying a selection made with the mouse.
    SetSelLength0();
    QPlainTextEdit::keyPressEvent(event);
}

void TCoolMemo::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    SetSelLength0();
}

void TCoolMemo::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_) popupMenu_->exec(event->globalPos());
    event->accept();
}

}  // namespace hk::browser
