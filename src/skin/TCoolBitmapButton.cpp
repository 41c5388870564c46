#include "skin/TCoolBitmapButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "skin/density.h"

namespace hk::skin {

// --- TColorList -----------------------------------------------------------------------

void TColorList::check(int index) const {
    if (index < 0 || index >= Count()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
}

void TColorList::Add(toolkit::TColor color) {
    colors_.push_back(color);
    Change();
}

void TColorList::Insert(int index, toolkit::TColor color) {
    if (index != Count()) check(index);
    colors_.insert(colors_.begin() + index, color);
    Change();
}

void TColorList::Delete(int index) {
    check(index);
    colors_.erase(colors_.begin() + index);
    Change();
}

void TColorList::Exchange(int index1, int index2) {
    check(index1);
    check(index2);
    std::swap(colors_[static_cast<std::size_t>(index1)], colors_[static_cast<std::size_t>(index2)]);
    Change();
}

void TColorList::Move(int from, int to) {
    check(from);
    check(to);
    const toolkit::TColor c = colors_[static_cast<std::size_t>(from)];
    colors_.erase(colors_.begin() + from);
    colors_.insert(colors_.begin() + to, c);
    Change();
}

void TColorList::Clear() {
    colors_.clear();
    Change();
}

void TColorList::Assign(const TColorList& source) {
    if (&source == this) return;
    colors_ = source.colors_;
    Change();
}

int TColorList::IndexOf(toolkit::TColor color) const {
    auto it = std::find(colors_.begin(), colors_.end(), color);
    return it == colors_.end() ? -1 : static_cast<int>(it - colors_.begin());
}

toolkit::TColor TColorList::operator[](int index) const {
    check(index);
    return colors_[static_cast<std::size_t>(index)];
}

void TColorList::Change() {
    if (OnChange) OnChange();
}

// --- channel arithmetic ---------------------------------------------------------------

namespace {

// num / den rounded to the nearest integer, halves to the even neighbour; num >= 0.
int roundHalfEven(int num, int den) {
    const int q = num / den, r = num % den;
    if (2 * r > den || (2 * r == den && (q % 2) == 1)) return q + 1;
    return q;
}

}  // namespace

int darkenChannel(int c) {
    return roundHalfEven(c * 88, 100);
}

int lightenChannel(int c) {
    return std::min(255, roundHalfEven(c * 100, 88));
}

// --- TCustomBitmapButton --------------------------------------------------------------

TCustomBitmapButton::TCustomBitmapButton(QWidget* parent) : QWidget(parent) {
    resize(100, 100);
    setFocusPolicy(Qt::StrongFocus);
    colors_.OnChange = [this] { ColorsChanged(); };
}

TCustomBitmapButton::~TCustomBitmapButton() {
    colors_.OnChange = nullptr;  // no region work while going
}

void TCustomBitmapButton::Click() {
    if (OnClick) OnClick(this);
}

void TCustomBitmapButton::recolor(QImage& bitmap, int (*channel)(int)) const {
    if (bitmap.isNull()) return;
    if (bitmap.format() != QImage::Format_RGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb px = row[x];
            if (colors_.contains(toolkit::rgbColor(qRed(px), qGreen(px), qBlue(px)))) continue;
            row[x] = qRgb(channel(qRed(px)), channel(qGreen(px)), channel(qBlue(px)));
        }
    }
}

void TCustomBitmapButton::Darken(QImage& bitmap) {
    recolor(bitmap, darkenChannel);
}

void TCustomBitmapButton::Lighten(QImage& bitmap) {
    recolor(bitmap, lightenChannel);
}

void TCustomBitmapButton::applyRegion(const QImage& face) {
    if (colors_.Count() == 0 || face.isNull()) {
        clearMask();
        return;
    }
    const QImage img = face.convertToFormat(QImage::Format_RGB32);
    QRegion region;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            auto live = [&](int i) {
                return !colors_.contains(
                    toolkit::rgbColor(qRed(row[i]), qGreen(row[i]), qBlue(row[i])));
            };
            while (x < img.width() && !live(x)) ++x;
            const int x0 = x;
            while (x < img.width() && live(x)) ++x;
            if (x > x0) region += QRect(x0, y, x - x0, 1);
        }
    }
    setMask(region);
}

void TCustomBitmapButton::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    mouseInside_ = true;
    if (OnMoseEnter) OnMoseEnter(this);
}

void TCustomBitmapButton::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    mouseInside_ = false;
    if (OnMouseLeave) OnMouseLeave(this);
}

void TCustomBitmapButton::mousePressEvent(QMouseEvent* event) {
    if (!pressed_) applyPressEffects();
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
    setFocus(Qt::MouseFocusReason);
    pressed_ = true;
    update();
}

void TCustomBitmapButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // The grab sends the release here even outside; only a release inside is a click.
    if (event->button() == Qt::LeftButton && rect().contains(pos) && OnClick) OnClick(this);
    if (pressed_) applyReleaseEffects();
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
    pressed_ = false;
    update();
}

void TCustomBitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

namespace {
bool isClickKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}
}  // namespace

void TCustomBitmapButton::keyPressEvent(QKeyEvent* event) {
    const bool clickKey = isClickKey(event->key());
    if (clickKey && !pressed_) applyPressEffects();
    int key = event->key();
    if (OnKeyDown) OnKeyDown(this, key, event->modifiers());
    if (clickKey && !pressed_) {
        pressed_ = true;
        update();
    }
    if (!clickKey) QWidget::keyPressEvent(event);
}

void TCustomBitmapButton::keyReleaseEvent(QKeyEvent* event) {
    // Auto-repeat sends a release before every repeated press; the key is still down.
    if (event->isAutoRepeat()) return;
    const bool clickKey = isClickKey(event->key());
    if (clickKey && pressed_) applyReleaseEffects();
    int key = event->key();
    if (OnKeyUp) OnKeyUp(this, key, event->modifiers());
    if (clickKey && pressed_) {
        pressed_ = false;
        update();
        if (OnClick) OnClick(this);
    }
    if (!clickKey) QWidget::keyReleaseEvent(event);
}

// --- TCoolBitmapButton ----------------------------------------------------------------

TCoolBitmapButton::TCoolBitmapButton(QWidget* parent) : TCustomBitmapButton(parent) {}

void TCoolBitmapButton::setBitmap(const QImage& bitmap, const QImage& doubled) {
    bitmap_ = bitmap.copy();
    bitmap2x_ = markedDoubled(doubled);
    bitmapChanged();
}

void TCoolBitmapButton::bitmapChanged() {
    if (!bitmap_.isNull() && bitmap_.width() > 0 && bitmap_.height() > 0) {
        setGeometry(x(), y(), bitmap_.width(), bitmap_.height());
    }
    Colors().Clear();
    update();
}

QSize TCoolBitmapButton::sizeHint() const {
    return bitmap_.isNull() ? QSize(100, 100) : bitmap_.size();
}

void TCoolBitmapButton::ColorsChanged() {
    applyRegion(bitmap_);
    update();
}

// The face edits below bypass bitmapChanged on purpose: a darkened face must neither
// resize the button nor drop its region.
void TCoolBitmapButton::applyPressEffects() {
    if (ShadowEffect()) {
        Darken(bitmap_);
        if (!bitmap2x_.isNull()) Darken(bitmap2x_);
    }
    if (PositionEffect()) Shift();
}

void TCoolBitmapButton::applyReleaseEffects() {
    if (ShadowEffect()) {
        Lighten(bitmap_);
        if (!bitmap2x_.isNull()) Lighten(bitmap2x_);
    }
    if (PositionEffect()) ShiftBack();
}

void TCoolBitmapButton::paintEvent(QPaintEvent*) {
    if (bitmap_.isNull()) return;
    QPainter p(this);
    drawPicture(p, QPoint(0, 0), bitmap_, bitmap2x_);
}

}  // namespace hk::skin
