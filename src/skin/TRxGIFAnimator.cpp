#include "skin/TRxGIFAnimator.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skin/TCoolPanel.h"

namespace hk::skin {

using toolkit::GifFrame;

TRxGIFAnimator::TRxGIFAnimator(QWidget* parent) : QWidget(parent) {
    resize(105, 105);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (timerEnabled_) tick();
        armTimer();  // the next sleep uses the interval the tick left behind
    });
}

TRxGIFAnimator::~TRxGIFAnimator() {
    OnStart = OnStop = OnChange = OnFrameChanged = OnClick = nullptr;
    timerEnabled_ = false;
    timer_.stop();
}

void TRxGIFAnimator::setImage(const toolkit::GifPicture& picture) {
    image_ = picture;
    pictureChanged();
}

bool TRxGIFAnimator::loadImage(std::span<const unsigned char> data, std::string& error) {
    toolkit::GifPicture picture;
    if (!toolkit::decodeGif(data, picture, error)) return false;
    image_ = std::move(picture);
    pictureChanged();
    return true;
}

void TRxGIFAnimator::pictureChanged() {
    composed_ = QImage();
    composedIndex_ = -1;
    keyColor_.reset();
    frameIndex_ = 0;
    setInterval(frameDelay(frameIndex_));
    refresh();
    if (OnChange) OnChange(this);
}

int TRxGIFAnimator::frameDelay(int index) const {
    if (index < 0 || index >= FrameCount() || FrameCount() < 2) return 0;
    return std::clamp(image_.frames[static_cast<std::size_t>(index)].delayMs(), 50, 10000);
}

void TRxGIFAnimator::setInterval(int ms) {
    interval_ = ms;
    if (ms == 0)
        timer_.stop();  // nothing to wait for
    else
        armTimer();  // a running sleep finishes with its old length
}

void TRxGIFAnimator::armTimer() {
    if (timerEnabled_ && interval_ > 0 && !timer_.isActive()) timer_.start(interval_);
}

void TRxGIFAnimator::setAnimate(bool on) {
    if (on == animate_) return;
    if (on) {
        timerEnabled_ = true;
        armTimer();
        animate_ = timerEnabled_;
        if (OnStart) OnStart(this);
    } else {
        timerEnabled_ = false;
        timer_.stop();
        animate_ = false;
        if (OnStop) OnStop(this);
        refresh();
    }
}

void TRxGIFAnimator::setFrameIndex(int index) {
    if (index == frameIndex_ || index < 0 || index >= FrameCount()) return;
    frameIndex_ = index;
    setInterval(frameDelay(index));
    if (OnFrameChanged) OnFrameChanged(this);
    refresh();
}

void TRxGIFAnimator::setTransparent(bool on) {
    if (on == transparent_) return;
    transparent_ = on;
    composed_ = QImage();  // the key colour decision depends on it
    composedIndex_ = -1;
    refresh();
}

void TRxGIFAnimator::setCenter(bool on) {
    if (on == center_) return;
    center_ = on;
    refresh();
}

void TRxGIFAnimator::setStretch(bool on) {
    if (on == stretch_) return;
    stretch_ = on;
    refresh();
}

void TRxGIFAnimator::setAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    refresh();
}

toolkit::TColor TRxGIFAnimator::Color() const {
    if (parentColor_) {
        if (const auto* panel = qobject_cast<const TCoolPanel*>(parentWidget()))
            return panel->Color();
    }
    return color_;
}

void TRxGIFAnimator::setColor(toolkit::TColor color) {
    if (color == color_ && !parentColor_) return;
    parentColor_ = false;
    color_ = color;
    update();
}

void TRxGIFAnimator::refresh() {
    if (autoSize_ && !image_.empty() && image_.screen.isValid() && !image_.screen.isEmpty()) {
        resize(image_.screen);
    }
    update();
}

void TRxGIFAnimator::tick() {
    // A hidden or detached banner keeps its frame and timing until it is shown again.
    if (isHidden() || FrameCount() < 2 || !parentWidget()) return;
    frameIndex_ = frameIndex_ + 1 < FrameCount() ? frameIndex_ + 1 : 0;
    if (OnFrameChanged) OnFrameChanged(this);
    update();
    setInterval(frameDelay(frameIndex_));
    if (!loop_ && frameIndex_ == 0) setAnimate(false);
}

QRgb TRxGIFAnimator::backgroundFor(int n) const {
    const GifFrame& frame = image_.frames[static_cast<std::size_t>(n)];
    if (auto transparent = frame.transparentColor()) return *transparent;
    if (auto transparent = image_.transparentColor()) return *transparent;
    return toolkit::toQColor(toolkit::clWindow, palette()).rgb();
}

void TRxGIFAnimator::drawFrame(QImage& target, const GifFrame& frame, bool withTransparency) {
    const QRect r = frame.rect.intersected(target.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(target.scanLine(y));
        const std::uint8_t* src = frame.indices.data() +
                                  static_cast<std::size_t>(y - frame.rect.y()) * frame.rect.width();
        for (int x = r.left(); x <= r.right(); ++x) {
            const std::uint8_t index = src[x - frame.rect.x()];
            if (withTransparency && index == frame.transparentIndex) continue;
            row[x] = frame.colorAt(index);
        }
    }
}

namespace {
void fillRect(QImage& image, const QRect& rect, QRgb color) {
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + r.left(), row + r.right() + 1, color);
    }
}
}  // namespace

QImage TRxGIFAnimator::composeFrame(int n) {
    if (image_.empty() || image_.screen.isEmpty()) return QImage();
    n = std::clamp(n, 0, FrameCount() - 1);
    const auto& frames = image_.frames;
    if (!composed_.isNull() && n == composedIndex_) return composed_;

    if (!composed_.isNull() && composedIndex_ >= 0 && n == composedIndex_ + 1 &&
        frames[static_cast<std::size_t>(composedIndex_)].disposal != 3) {
        const GifFrame& previous = frames[static_cast<std::size_t>(composedIndex_)];
        if (previous.disposal == 2) fillRect(composed_, previous.rect, composedBackground_);
        drawFrame(composed_, frames[static_cast<std::size_t>(n)], true);
        composedIndex_ = n;
        return composed_;
    }

    // Start afresh from the nearest frame that paints the whole screen by itself.
    const QRect screen(QPoint(0, 0), image_.screen);
    composedBackground_ = backgroundFor(n);
    keyColor_ = frames[static_cast<std::size_t>(n)].transparentColor();
    composed_ = QImage(image_.screen, QImage::Format_RGB32);
    composed_.fill(composedBackground_);
    int k = 0;
    for (int i = n; i >= 0; --i) {
        const GifFrame& f = frames[static_cast<std::size_t>(i)];
        if (f.rect.contains(screen) && (f.transparentIndex < 0 || (i < n && f.disposal == 2))) {
            k = i;
            break;
        }
    }
    for (int i = k; i < n; ++i) {
        const GifFrame& f = frames[static_cast<std::size_t>(i)];
        if (f.disposal == 3) continue;
        if (f.disposal == 2) {
            if (i > k) fillRect(composed_, f.rect, composedBackground_);
            continue;
        }
        drawFrame(composed_, f, true);
    }
    drawFrame(composed_, frames[static_cast<std::size_t>(n)], true);
    composedIndex_ = n;
    return composed_;
}

void TRxGIFAnimator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool seeThrough = image_.empty() || (transparent_ && keyColor_.has_value());
    // When see-through, what lies beneath is already painted (we are not opaque).
    if (!seeThrough) p.fillRect(rect(), toolkit::toQColor(Color(), palette()));
    if (image_.empty() || image_.screen.width() < 1 || image_.screen.height() < 1) return;

    QImage frame = composeFrame(frameIndex_);
    if (frame.isNull()) return;
    QRect target(QPoint(0, 0), frame.size());
    if (stretch_) {
        target = rect();
    } else if (center_) {
        target.moveTo((width() - frame.width()) / 2, (height() - frame.height()) / 2);
    }
    if (transparent_ && keyColor_) {
        QImage keyed = frame.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = *keyColor_ | 0xFF000000u;
        for (int y = 0; y < keyed.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if (row[x] == key) row[x] = 0;
            }
        }
        p.drawImage(target, keyed);
    } else {
        p.drawImage(target, frame);
    }
}

void TRxGIFAnimator::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick) {
        OnClick(this);
    }
}

}  // namespace hk::skin
