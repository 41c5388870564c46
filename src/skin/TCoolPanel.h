#pragma once
// The bitmap-drawn container the borderless windows are built from: a panel whose
// background is a tiled skin bitmap (from a TCoolImages collection or its own), or its
// parent's background when it is see-through, with optional bevels, border and a
// one-line caption.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "skin/TCoolImages.h"
#include "skin/events.h"
#include "toolkit/colors.h"

class QToolButton;

namespace hk::skin {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Tiles `bitmap` over `rect` from its top-left corner, cutting the last row and column
// at the rectangle's edge. Returns the number of tiles drawn.
int tileBitmap(QPainter& painter, const QRect& rect, const QImage& bitmap);

class TCoolPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TCoolPanel(QWidget* parent = nullptr);
    ~TCoolPanel() override;

    TCoolImages* CoolImages() const { return coolImages_; }
    void setCoolImages(TCoolImages* images);
    int idWallpaper() const { return idWallpaper_; }
    void setIdWallpaper(int index);
    // The own wallpaper; setting it copies the picture and switches Transparent off.
    const QImage& Wallpaper() const { return wallpaper_; }
    void setWallpaper(const QImage& bitmap);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);
    int TransparencyLevel() const { return transparencyLevel_; }
    void setTransparencyLevel(int level);  // 0 ... 255

    toolkit::TColor Color() const { return color_; }
    void setColor(toolkit::TColor color);
    toolkit::TColor FontColor() const { return fontColor_; }
    void setFontColor(toolkit::TColor color);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    TAlignment Alignment() const { return alignment_; }
    void setAlignment(TAlignment alignment);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void setBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return bevelInner_; }
    void setBevelInner(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void setBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);

    // Hosted bar column: only its size settings and scroll buttons exist here.
    int ButtonWidth() const { return buttonWidth_; }
    void setButtonWidth(int width);  // also makes the panel ButtonWidth + 2 wide
    int ButtonHeight() const { return buttonHeight_; }
    void setButtonHeight(int height);
    TNotifyEvent OnScrollUp, OnScrollDown;

    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnClick, OnDblClick;

    // The wallpaper that applies now (collection item, else own), or a null image.
    QImage chosenWallpaper() const;
    // Paints this panel's background (wallpaper, colour or the see-through background)
    // into `painter`, whose origin is this panel's top-left corner.
    void paintBackground(QPainter& painter);
    // Tiles drawn by the latest paint, for the curious (tests, the gallery).
    int lastTileCount() const { return lastTileCount_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void paintSeeThrough(QPainter& painter);
    // The collection's double of the chosen wallpaper, when that wallpaper is an item's.
    QImage chosenWallpaper2x() const;
    void paintDoubled(QPainter& painter, const QImage& bitmap, const QImage& doubled);
    void layoutBar();
    void collectionDestroyed();

    QPointer<TCoolImages> coolImages_;
    TCoolChangeLink link_;
    int idWallpaper_ = -1;
    QImage wallpaper_;
    bool transparent_ = false;
    int transparencyLevel_ = 0;
    toolkit::TColor color_ = toolkit::clBtnShadow;
    toolkit::TColor fontColor_ = toolkit::clWindowText;
    QString caption_;
    TAlignment alignment_ = TAlignment::taCenter;
    TBevelCut bevelOuter_ = TBevelCut::bvLowered;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    int buttonWidth_ = 64;
    int buttonHeight_ = 64;
    QToolButton* scrollUp_ = nullptr;
    QToolButton* scrollDown_ = nullptr;
    bool pressedLeft_ = false;
    int lastTileCount_ = 0;
    // The double wallpaper tiled over the panel, kept until the panel or picture changes.
    QImage tiles2x_;
    qint64 tiles2xSource_ = 0;
};

}  // namespace hk::skin
