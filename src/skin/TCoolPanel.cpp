#include "skin/TCoolPanel.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "skin/accessibility.h"
#include "skin/density.h"

namespace hk::skin {

using toolkit::toQColor;

int tileBitmap(QPainter& painter, const QRect& rect, const QImage& bitmap) {
    if (bitmap.isNull() || bitmap.width() <= 0 || bitmap.height() <= 0) return 0;
    int tiles = 0;
    const int right = rect.x() + rect.width(), bottom = rect.y() + rect.height();
    for (int y = rect.y(); y < bottom; y += bitmap.height()) {
        for (int x = rect.x(); x < right; x += bitmap.width()) {
            const int w = std::min(bitmap.width(), right - x);
            const int h = std::min(bitmap.height(), bottom - y);
            painter.drawImage(QPoint(x, y), bitmap, QRect(0, 0, w, h));
            ++tiles;
        }
    }
    return tiles;
}

namespace {

void drawFrame3D(QPainter& p, QRect& r, const QColor& topLeft, const QColor& bottomRight,
                 int width) {
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

}  // namespace

TCoolPanel::TCoolPanel(QWidget* parent) : QWidget(parent) {
    resize(buttonWidth_ + 2, 41);
    link_.OnChange = [this](QObject*) { update(); };
    scrollUp_ = new QToolButton(this);
    scrollDown_ = new QToolButton(this);
    for (QToolButton* b : {scrollUp_, scrollDown_}) {
        b->setAutoRaise(true);
        // Flat speed buttons: the mouse's alone, never a stop for the keyboard
        // or a screen reader.
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    scrollUp_->setArrowType(Qt::UpArrow);
    scrollDown_->setArrowType(Qt::DownArrow);
    connect(scrollUp_, &QToolButton::clicked, this, [this] {
        if (OnScrollUp) OnScrollUp(this);
    });
    connect(scrollDown_, &QToolButton::clicked, this, [this] {
        if (OnScrollDown) OnScrollDown(this);
    });
    layoutBar();
}

TCoolPanel::~TCoolPanel() {
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    OnMouseMove = nullptr;
    OnClick = nullptr;
    OnDblClick = nullptr;
}

void TCoolPanel::setCoolImages(TCoolImages* images) {
    if (coolImages_ == images) return;
    if (coolImages_) {
        coolImages_->UnRegisterChanges(&link_);
        disconnect(coolImages_, &QObject::destroyed, this, nullptr);
    }
    coolImages_ = images;
    if (images) {
        images->RegisterChanges(&link_);
        connect(images, &QObject::destroyed, this, [this] { collectionDestroyed(); });
    }
    update();
}

void TCoolPanel::collectionDestroyed() {
    // The collection has already dropped our link; only forget it.
    coolImages_ = nullptr;
    update();
}

void TCoolPanel::setIdWallpaper(int index) {
    if (index == idWallpaper_) return;
    idWallpaper_ = index;
    update();
}

void TCoolPanel::setWallpaper(const QImage& bitmap) {
    if (&bitmap == &wallpaper_) return;
    transparent_ = false;
    wallpaper_ = bitmap.copy();
    update();
}

void TCoolPanel::setTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    update();
}

void TCoolPanel::setTransparencyLevel(int level) {
    level = std::clamp(level, 0, 255);
    if (level == transparencyLevel_) return;
    transparencyLevel_ = level;
    update();
}

void TCoolPanel::setColor(toolkit::TColor color) {
    if (color == color_) return;
    color_ = color;
    update();
}

void TCoolPanel::setFontColor(toolkit::TColor color) {
    if (color == fontColor_) return;
    fontColor_ = color;
    update();
}

void TCoolPanel::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
    NotifyNameChanged(this);
}

void TCoolPanel::setAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    update();
}

void TCoolPanel::setBevelOuter(TBevelCut cut) {
    if (cut == bevelOuter_) return;
    bevelOuter_ = cut;
    update();
}

void TCoolPanel::setBevelInner(TBevelCut cut) {
    if (cut == bevelInner_) return;
    bevelInner_ = cut;
    update();
}

void TCoolPanel::setBevelWidth(int width) {
    width = std::max(1, width);
    if (width == bevelWidth_) return;
    bevelWidth_ = width;
    update();
}

void TCoolPanel::setBorderWidth(int width) {
    width = std::max(0, width);
    if (width == borderWidth_) return;
    borderWidth_ = width;
    update();
}

void TCoolPanel::setButtonWidth(int width) {
    if (width == buttonWidth_) return;
    buttonWidth_ = width;
    resize(buttonWidth_ + 2, height());
    layoutBar();
}

void TCoolPanel::setButtonHeight(int height) {
    if (height == buttonHeight_) return;
    buttonHeight_ = height;
    layoutBar();
}

void TCoolPanel::layoutBar() {
    // The hosted column is never populated in this program; the scroll buttons keep
    // their places at the edges and stay hidden.
    scrollUp_->setGeometry(1, 0, buttonWidth_, 16);
    scrollDown_->setGeometry(1, std::max(0, height() - 16), buttonWidth_, 16);
    scrollUp_->hide();
    scrollDown_->hide();
}

QImage TCoolPanel::chosenWallpaper() const {
    if (coolImages_ && idWallpaper_ >= 0 && idWallpaper_ <= coolImages_->Bitmaps().Count() - 1) {
        const QImage& bitmap = coolImages_->Bitmaps()[idWallpaper_].Bitmap();
        if (!bitmap.isNull() && bitmap.width() > 0 && bitmap.height() > 0) return bitmap;
    }
    if (!wallpaper_.isNull() && wallpaper_.width() > 0 && wallpaper_.height() > 0) {
        return wallpaper_;
    }
    return QImage();
}

QImage TCoolPanel::chosenWallpaper2x() const {
    if (coolImages_ && idWallpaper_ >= 0 && idWallpaper_ <= coolImages_->Bitmaps().Count() - 1)
        return coolImages_->Bitmaps()[idWallpaper_].Bitmap2x();
    return QImage();
}

void TCoolPanel::paintDoubled(QPainter& painter, const QImage& bitmap, const QImage& doubled) {
    if (tiles2x_.size() != size() * 2 || tiles2xSource_ != doubled.cacheKey()) {
        tiles2x_ = tiledDoubled(doubled, size());
        tiles2xSource_ = doubled.cacheKey();
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(rect()), tiles2x_);
    painter.restore();
    lastTileCount_ = ((width() + bitmap.width() - 1) / bitmap.width()) *
                     ((height() + bitmap.height() - 1) / bitmap.height());
}

void TCoolPanel::paintSeeThrough(QPainter& painter) {
    QWidget* source = this;
    for (int i = 0; i < transparencyLevel_ && source->parentWidget(); ++i) {
        source = source->parentWidget();
    }
    QWidget* parent = source->parentWidget();
    if (!parent) return;
    painter.save();
    painter.translate(-mapTo(parent, QPoint(0, 0)));
    if (auto* panel = qobject_cast<TCoolPanel*>(parent)) {
        panel->paintBackground(painter);
    } else {
        painter.fillRect(parent->rect(), parent->palette().color(parent->backgroundRole()));
    }
    painter.restore();
}

void TCoolPanel::paintBackground(QPainter& painter) {
    if (transparent_) {
        paintSeeThrough(painter);
        return;
    }
    const QImage bitmap = chosenWallpaper();
    const QImage doubled = doubledFor(bitmap, chosenWallpaper2x(), deviceRatio(painter));
    if (!doubled.isNull()) {
        paintDoubled(painter, bitmap, doubled);
    } else if (!bitmap.isNull()) {
        lastTileCount_ = tileBitmap(painter, rect(), bitmap);
    } else {
        painter.fillRect(rect(), toQColor(color_, palette()));
    }
}

void TCoolPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    lastTileCount_ = 0;
    if (transparent_) {
        // Our own parent has already painted beneath us (we are not opaque), with the
        // controls under us; only a deeper level needs its background drawn here.
        if (transparencyLevel_ > 0) paintSeeThrough(p);
    } else {
        paintBackground(p);
    }

    const QColor shadow = toQColor(toolkit::clBtnShadow, palette());
    const QColor light = toQColor(toolkit::clBtnHighlight, palette());
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        if (cut == TBevelCut::bvLowered)
            drawFrame3D(p, r, shadow, light, bevelWidth_);
        else
            drawFrame3D(p, r, light, shadow, bevelWidth_);
    };
    bevel(bevelOuter_);
    if (borderWidth_ > 0) {
        const QColor c = toQColor(color_, palette());
        drawFrame3D(p, r, c, c, borderWidth_);
    }
    bevel(bevelInner_);

    if (!caption_.isEmpty()) {
        const QFontMetrics fm(font());
        const int h = fm.height();
        const int top = (r.top() + (r.top() + r.height()) - h) / 2;
        const QRect textRect(r.left(), top, r.width(), h);
        Qt::Alignment align = alignment_ == TAlignment::taLeftJustify    ? Qt::AlignLeft
                              : alignment_ == TAlignment::taRightJustify ? Qt::AlignRight
                                                                         : Qt::AlignHCenter;
        align = QStyle::visualAlignment(layoutDirection(), align);
        p.setFont(font());
        p.setPen(toQColor(fontColor_, palette()));
        p.setClipRect(textRect);
        p.drawText(textRect,
                   static_cast<int>(align | Qt::AlignTop) | Qt::TextExpandTabs | Qt::TextSingleLine,
                   caption_);
    }
}

void TCoolPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutBar();
}

void TCoolPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && transparent_) update();
}

void TCoolPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) pressedLeft_ = true;
    const QPoint pos = event->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TCoolPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton && pressedLeft_) {
        pressedLeft_ = false;
        if (rect().contains(pos) && OnClick) OnClick(this);
    }
    if (OnMouseUp) OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
}

void TCoolPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
}

void TCoolPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (OnDblClick && event->button() == Qt::LeftButton) OnDblClick(this);
    // The second press of a double click is still a press for the handlers.
    mousePressEvent(event);
}

}  // namespace hk::skin
