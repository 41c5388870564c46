#pragma once

// The toolkit's plain controls the layouts use besides the skin: a container
// panel, a picture box and the column splitter.
#include <QImage>
#include <QWidget>
#include <functional>

#include "toolkit/colors.h"

class QRubberBand;

namespace hk::window {

// A plain container without bevel, filled with its colour.
class TPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TPanel(QWidget* parent = nullptr, toolkit::TColor color = toolkit::clBtnFace);
    void setColor(toolkit::TColor color);
    toolkit::TColor Color() const { return color_; }

  private:
    toolkit::TColor color_;
};

// Shows a picture at its natural size from the top-left corner, neither
// stretched nor centred; outside the picture the parent shows through.
class TImage : public QWidget {
    Q_OBJECT
  public:
    explicit TImage(QWidget* parent = nullptr);
    // Copies; `doubled` is the picture drawn at twice the pixels, which high-density
    // screens show over the same area.
    void setPicture(const QImage& picture, const QImage& doubled = QImage());
    const QImage& Picture() const { return picture_; }
    const QImage& Picture2x() const { return picture2x_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
    QImage picture2x_;
};

// A vertical bar that resizes the control on its left when the mouse is
// released (only a line follows the mouse while dragging); the control's own
// minimum and maximum widths bound the result. Escape cancels the drag.
class TSplitter : public QWidget {
    Q_OBJECT
  public:
    TSplitter(QWidget* parent, toolkit::TColor color);
    // The control this splitter resizes (the one docked left of it).
    void setControl(QWidget* control) { control_ = control; }
    int MinSize = 2;
    // Raised at the end of a drag, and when a drag is cancelled.
    std::function<void(QObject* sender)> OnMoved;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int boundedWidth(int globalX) const;
    void finish(bool apply);

    toolkit::TColor color_;
    QWidget* control_ = nullptr;
    QRubberBand* line_ = nullptr;
    bool dragging_ = false;
    int pressOffset_ = 0;
    int newWidth_ = 0;
};

}  // namespace hk::window
