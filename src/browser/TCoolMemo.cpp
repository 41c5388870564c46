#include "browser/TCoolMemo.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iterator>

#include "browser/display_text.h"
#include "toolkit/codepage.h"

namespace hk::browser {

namespace {

// Shift with a caret movement: the view moves the caret without the Shift and
// paints the step it made as selected.
bool ExtendsSelection(const QKeyEvent* event) {
    static constexpr QKeySequence::StandardKey kSelectKeys[] = {
        QKeySequence::SelectNextChar,        QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectNextLine,        QKeySequence::SelectPreviousLine,
        QKeySequence::SelectNextPage,        QKeySequence::SelectPreviousPage,
        QKeySequence::SelectStartOfLine,     QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,    QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument};
    return std::any_of(std::begin(kSelectKeys), std::end(kSelectKeys),
                       [event](QKeySequence::StandardKey key) { return event->matches(key); });
}

}  // namespace

TCoolMemo::TCoolMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    // Read-only, yet the caret moves with the keyboard as in any text view.
    // The mouse is handled here (see the class comment), not by the control.
    setTextInteractionFlags(Qt::TextSelectableByKeyboard);
    viewport()->setCursor(Qt::IBeamCursor);
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
    shownAnchor_ = shownCaret_ = 0;
    mouseSelecting_ = false;
    setExtraSelections({});
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
    if (shownAnchor_ != shownCaret_) ShowSelection(shownCaret_, shownCaret_);
    QTextCursor c = textCursor();
    if (!c.hasSelection()) return;
    c.clearSelection();
    setTextCursor(c);
}

int TCoolMemo::SelLength() const {
    if (shownAnchor_ != shownCaret_) return std::abs(shownCaret_ - shownAnchor_);
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TCoolMemo::ShowSelection(int anchor, int caret) {
    QTextCursor c(document());
    c.setPosition(caret);
    setTextCursor(c);
    shownAnchor_ = anchor;
    shownCaret_ = caret;
    QList<QTextEdit::ExtraSelection> shown;
    if (anchor != caret) {
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(document());
        s.cursor.setPosition(anchor);
        s.cursor.setPosition(caret, QTextCursor::KeepAnchor);
        s.format.setBackground(palette().brush(QPalette::Highlight));
        s.format.setForeground(palette().brush(QPalette::HighlightedText));
        shown.push_back(s);
    }
    setExtraSelections(shown);
}

void TCoolMemo::keyPressEvent(QKeyEvent* event) {
    // Collapsing before the view acts on the key, as the key-down handler does.
    SetSelLength0();
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        event->accept();  // nothing is ever selected for them; keep even an empty copy out
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        QTextCursor end(document());
        end.movePosition(QTextCursor::End);
        ShowSelection(0, end.position());
        event->accept();
        return;
    }
    if (ExtendsSelection(event)) {
        const int from = textCursor().position();
        QKeyEvent step(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                       event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&step);
        ShowSelection(from, textCursor().position());
        event->setAccepted(step.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TCoolMemo::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    SetSelLength0();
}

void TCoolMemo::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPlainTextEdit::mousePressEvent(event);
        return;
    }
    const int hit = cursorForPosition(event->position().toPoint()).position();
    int anchor = hit;
    if (event->modifiers() & Qt::ShiftModifier)
        anchor = SelLength() > 0 ? shownAnchor_ : textCursor().position();
    ShowSelection(anchor, hit);
    mouseSelecting_ = true;
    event->accept();
}

void TCoolMemo::mouseMoveEvent(QMouseEvent* event) {
    if (!mouseSelecting_ || !(event->buttons() & Qt::LeftButton)) {
        mouseSelecting_ = false;
        QPlainTextEdit::mouseMoveEvent(event);
        return;
    }
    ShowSelection(shownAnchor_, cursorForPosition(event->position().toPoint()).position());
    ensureCursorVisible();  // dragging past an edge scrolls the text
    event->accept();
}

void TCoolMemo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && mouseSelecting_) {
        mouseSelecting_ = false;
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void TCoolMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPlainTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    QTextCursor word = cursorForPosition(event->position().toPoint());
    word.select(QTextCursor::WordUnderCursor);
    ShowSelection(word.selectionStart(), word.selectionEnd());
    mouseSelecting_ = false;
    event->accept();
}

void TCoolMemo::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_) popupMenu_->exec(event->globalPos());
    event->accept();
}

}  // namespace hk::browser
