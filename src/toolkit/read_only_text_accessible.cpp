#include "toolkit/read_only_text_accessible.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace hk::toolkit {

namespace {

// QPlainTextEdit and QTextEdit offer the same calls without sharing a base.
template <class View>
class ReadOnlyText final : public QAccessibleWidget, public QAccessibleTextInterface {
  public:
    explicit ReadOnlyText(View* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        s.multiLine = true;
        return s;
    }

    // The selection is the user's: what the view holds is reported, and
    // requests to change it are not carried out.
    void selection(int index, int* start, int* end) const override {
        const QTextCursor c = view()->textCursor();
        *start = *end = 0;
        if (index == 0 && c.hasSelection()) {
            *start = c.selectionStart();
            *end = c.selectionEnd();
        }
    }
    int selectionCount() const override { return view()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}

    int cursorPosition() const override { return view()->textCursor().position(); }
    void setCursorPosition(int position) override {
        QTextCursor c = view()->textCursor();
        c.setPosition(std::clamp(position, 0, characterCount()));
        view()->setTextCursor(c);
    }

    QString text(int startOffset, int endOffset) const override {
        const int count = characterCount();
        startOffset = std::clamp(startOffset, 0, count);
        endOffset = std::clamp(endOffset < 0 ? count : endOffset, startOffset, count);
        QTextCursor c(view()->document());
        c.setPosition(startOffset);
        c.setPosition(endOffset, QTextCursor::KeepAnchor);
        QString s = c.selectedText();
        // Paragraph and line separators read as line ends, one character each.
        s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        s.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return s;
    }
    using QAccessibleWidget::text;

    int characterCount() const override {
        return std::max(0, view()->document()->characterCount() - 1);
    }

    QRect characterRect(int offset) const override {
        QTextCursor c(view()->document());
        c.setPosition(std::clamp(offset, 0, characterCount()));
        QRect r = view()->cursorRect(c);
        const QString ch = text(offset, offset + 1);
        r.setWidth(QFontMetrics(view()->font())
                       .horizontalAdvance(ch.isEmpty() ? QStringLiteral(" ") : ch));
        r.moveTopLeft(view()->viewport()->mapToGlobal(r.topLeft()));
        return r;
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = view()->viewport()->mapFromGlobal(point);
        if (!view()->viewport()->rect().contains(local)) return -1;
        return view()->cursorForPosition(local).position();
    }

    void scrollToSubstring(int startIndex, int) override {
        setCursorPosition(startIndex);
        view()->ensureCursorVisible();
    }

    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

  private:
    View* view() const { return static_cast<View*>(widget()); }
};

}  // namespace

QAccessibleInterface* ReadOnlyTextAccessibleFactory(const QString&, QObject* object) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object); plain && plain->isReadOnly())
        return new ReadOnlyText<QPlainTextEdit>(plain);
    if (auto* rich = qobject_cast<QTextEdit*>(object); rich && rich->isReadOnly())
        return new ReadOnlyText<QTextEdit>(rich);
    return nullptr;
}

}  // namespace hk::toolkit
