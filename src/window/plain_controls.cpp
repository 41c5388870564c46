#include "window/plain_controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>

#include "skin/density.h"

namespace hk::window {

TPanel::TPanel(QWidget* parent, toolkit::TColor color) : QWidget(parent), color_(color) {
    setAutoFillBackground(true);
    setColor(color);
}

void TPanel::setColor(toolkit::TColor color) {
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, toolkit::toQColor(color, p));
    setPalette(p);
}

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::setPicture(const QImage& picture, const QImage& doubled) {
    picture_ = picture.copy();
    picture2x_ = hk::skin::markedDoubled(doubled);
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    hk::skin::drawPicture(painter, QPoint(0, 0), picture_, picture2x_);
}

TSplitter::TSplitter(QWidget* parent, toolkit::TColor color) : QWidget(parent), color_(color) {
    setCursor(Qt::SplitHCursor);
    setFocusPolicy(Qt::NoFocus);
}

void TSplitter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = toolkit::toQColor(color_, palette());
    painter.fillRect(rect(), face);
    // Beveled: light left edge, dark right edge.
    painter.setPen(face.lighter(130));
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(face.darker(140));
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

int TSplitter::boundedWidth(int globalX) const {
    if (!control_) return 0;
    const int left = control_->mapToGlobal(QPoint(0, 0)).x();
    int w = globalX - pressOffset_ - left;
    w = std::max(w, std::max(MinSize, control_->minimumWidth()));
    w = std::min(w, control_->maximumWidth());
    return w;
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !control_) return;
    dragging_ = true;
    pressOffset_ = event->position().toPoint().x();
    newWidth_ = control_->width();
    qApp->installEventFilter(this);
    if (!line_) line_ = new QRubberBand(QRubberBand::Line, parentWidget());
    line_->setGeometry(geometry());
    line_->show();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    newWidth_ = boundedWidth(event->globalPosition().toPoint().x());
    const int x = control_->x() + newWidth_;
    line_->setGeometry(x, y(), width(), height());
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return;
    newWidth_ = boundedWidth(event->globalPosition().toPoint().x());
    finish(true);
}

bool TSplitter::eventFilter(QObject* watched, QEvent* event) {
    // Escape cancels a drag wherever the keyboard focus is.
    if (dragging_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        finish(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSplitter::finish(bool apply) {
    dragging_ = false;
    qApp->removeEventFilter(this);
    if (line_) line_->hide();
    if (apply && control_ && newWidth_ != control_->width()) {
        control_->resize(newWidth_, control_->height());
        // The docking puts the splitter right of the resized column at once, so
        // the moved handler sees the splitter where it now stands.
        if (QLayout* dock = parentWidget() ? parentWidget()->layout() : nullptr) {
            dock->invalidate();
            dock->setGeometry(parentWidget()->rect());
        }
    }
    if (OnMoved) OnMoved(this);
}

}  // namespace hk::window
