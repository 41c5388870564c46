#include "skin/TRzURLLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "skin/accessibility.h"
#include "toolkit/shell.h"

namespace hk::skin {

using toolkit::toQColor;

TRzURLLabel::TRzURLLabel(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    fontColor_ = unvisitedColor_;
}

void TRzURLLabel::setVisited(bool visited) {
    if (visited == visited_) return;
    visited_ = visited;
    recolor();
}

void TRzURLLabel::setUnvisitedColor(toolkit::TColor color) {
    if (color == unvisitedColor_) return;
    unvisitedColor_ = color;
    recolor();
}

void TRzURLLabel::setVisitedColor(toolkit::TColor color) {
    if (color == visitedColor_) return;
    visitedColor_ = color;
    recolor();
}

void TRzURLLabel::recolor() {
    fontColor_ = visited_ ? visitedColor_ : unvisitedColor_;
    update();
}

void TRzURLLabel::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    adjustBounds();
    update();
    NotifyNameChanged(this);
}

void TRzURLLabel::setFontColor(toolkit::TColor color) {
    if (color == fontColor_) return;
    fontColor_ = color;
    update();
}

void TRzURLLabel::setColor(toolkit::TColor color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void TRzURLLabel::setAlignment(TLabelAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    adjustBounds();
    update();
}

void TRzURLLabel::setLayout(TTextLayout layout) {
    if (layout == layout_) return;
    layout_ = layout;
    update();
}

void TRzURLLabel::setWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    adjustBounds();
    update();
}

void TRzURLLabel::setAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    adjustBounds();
}

void TRzURLLabel::setTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    update();
}

void TRzURLLabel::setShowAccelChar(bool on) {
    if (on == showAccelChar_) return;
    showAccelChar_ = on;
    adjustBounds();
    update();
}

int TRzURLLabel::textFlags() const {
    int flags = Qt::TextExpandTabs;
    switch (alignment_) {
        case TLabelAlignment::taLeftJustify:
            flags |= Qt::AlignLeft;
            break;
        case TLabelAlignment::taRightJustify:
            flags |= Qt::AlignRight;
            break;
        case TLabelAlignment::taCenter:
            flags |= Qt::AlignHCenter;
            break;
    }
    if (wordWrap_) flags |= Qt::TextWordWrap;
    if (showAccelChar_) flags |= Qt::TextShowMnemonic;
    return flags | Qt::AlignTop;
}

QString TRzURLLabel::displayText() const {
    // Without prefix processing "&" is an ordinary character; Qt wants it doubled.
    if (showAccelChar_) return caption_;
    QString text = caption_;
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QRect TRzURLLabel::textRect() const {
    QRect r(0, 0, width(), height());
    if (layout_ != TTextLayout::tlTop) {
        const QFontMetrics fm(font());
        const int textBottom = fm.boundingRect(r, textFlags(), displayText()).height();
        const int offset =
            layout_ == TTextLayout::tlBottom ? height() - textBottom : (height() - textBottom) / 2;
        r.translate(0, offset);
    }
    if (alignment_ == TLabelAlignment::taRightJustify) r.translate(-1, 0);
    if (layout_ == TTextLayout::tlBottom) r.translate(0, -1);
    return r;
}

void TRzURLLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!transparent_) p.fillRect(rect(), toQColor(color_, palette()));
    p.setFont(font());
    const QRect r = textRect();
    if (isEnabled()) {
        p.setPen(toQColor(fontColor_, palette()));
        p.drawText(r, textFlags(), displayText());
    } else {
        p.setPen(toQColor(toolkit::clBtnHighlight, palette()));
        p.drawText(r.translated(1, 1), textFlags(), displayText());
        p.setPen(toQColor(toolkit::clGrayText, palette()));
        p.drawText(r, textFlags(), displayText());
    }
}

void TRzURLLabel::adjustBounds() {
    if (!autoSize_) return;
    const QFontMetrics fm(font());
    const int wrapWidth = wordWrap_ ? std::max(1, width()) : 1 << 20;
    const QRect measured =
        fm.boundingRect(QRect(0, 0, wrapWidth, 1 << 20), textFlags(), displayText());
    const int right = x() + width();
    const int w = wordWrap_ ? width() : measured.width();
    const int newX = alignment_ == TLabelAlignment::taRightJustify ? right - w : x();
    setGeometry(newX, y(), w, measured.height());
}

void TRzURLLabel::Click() {
    if (OnClick) OnClick(this);
    const QString target = url_.trimmed().isEmpty() ? caption_ : url_;
    if (target.trimmed().isEmpty()) return;
    const bool opened = opener ? opener(target) : toolkit::shellOpen(target);
    // A failed open is silent: the label just stays unvisited.
    if (opened) setVisited(true);
}

void TRzURLLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Click();
}

void TRzURLLabel::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (OnMouseEnter) OnMouseEnter(this);
}

void TRzURLLabel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (OnMouseLeave) OnMouseLeave(this);
}

void TRzURLLabel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) adjustBounds();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange) update();
}

}  // namespace hk::skin
