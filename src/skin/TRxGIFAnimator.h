#pragma once
// Shows an animated GIF and, while Animate is on, steps through its frames at the delays
// the picture gives (clamped to 50 ... 10000 ms). Ticks come from a timer of the
// user-interface thread, so frame stepping, painting and events all happen there.

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "skin/events.h"
#include "toolkit/colors.h"
#include "toolkit/gif_decoder.h"

namespace hk::skin {

class TRxGIFAnimator : public QWidget {
    Q_OBJECT
  public:
    explicit TRxGIFAnimator(QWidget* parent = nullptr);
    ~TRxGIFAnimator() override;

    const toolkit::GifPicture& Image() const { return image_; }
    void setImage(const toolkit::GifPicture& picture);  // copies
    // Decodes GIF data into Image; false (Image unchanged) with the reason on failure.
    bool loadImage(std::span<const unsigned char> data, std::string& error);

    bool Animate() const { return animate_; }
    void setAnimate(bool on);
    int FrameIndex() const { return frameIndex_; }
    void setFrameIndex(int index);
    int FrameCount() const { return static_cast<int>(image_.frames.size()); }
    bool Loop() const { return loop_; }
    void setLoop(bool on) { loop_ = on; }
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool Center() const { return center_; }
    void setCenter(bool on);
    bool Stretch() const { return stretch_; }
    void setStretch(bool on);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    // Until set, the colour of the panel the banner sits on (button face elsewhere).
    toolkit::TColor Color() const;
    void setColor(toolkit::TColor color);

    TNotifyEvent OnStart, OnStop, OnChange, OnFrameChanged, OnClick;

    // Delay of the current frame in ms: 0 with fewer than two frames, else 50 ... 10000.
    int frameDelay() const { return frameDelay(frameIndex_); }
    int frameDelay(int index) const;
    // The interval the next sleep will use, and whether a tick is pending.
    int timerInterval() const { return interval_; }
    bool ticking() const { return timer_.isActive(); }
    // One timer tick, as the timer delivers it.
    void tick();
    // The logical screen with frames 0 ... n composed (n clamped to the last frame).
    QImage composeFrame(int n);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void setInterval(int ms);
    void armTimer();
    void refresh();
    void pictureChanged();
    QRgb backgroundFor(int n) const;
    static void drawFrame(QImage& target, const toolkit::GifFrame& frame, bool withTransparency);

    toolkit::GifPicture image_;
    bool animate_ = false;
    int frameIndex_ = 0;
    bool loop_ = true;
    bool transparent_ = true;
    bool center_ = false;
    bool stretch_ = false;
    bool autoSize_ = true;
    toolkit::TColor color_ = toolkit::clBtnFace;
    bool parentColor_ = true;

    QImage composed_;
    int composedIndex_ = -1;
    std::optional<QRgb> keyColor_;
    QRgb composedBackground_ = 0;

    QTimer timer_;
    bool timerEnabled_ = false;
    int interval_ = 0;
};

}  // namespace hk::skin
