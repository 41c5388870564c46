#pragma once
// The skin's push button: its whole face is one bitmap. Pressing darkens the face and
// shifts the button a pixel right and down (each effect can be switched off); the
// window code swaps faces for hover and press in the event handlers.
//
// Event order: mouse press -> OnMouseDown; release -> OnClick (left button, released
// inside) then OnMouseUp. Enter or Space -> OnKeyDown, and on release OnKeyUp then
// OnClick.

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "skin/events.h"
#include "toolkit/colors.h"

namespace hk::skin {

// Colours that count as see-through in a button face.
class TColorList {
  public:
    std::function<void()> OnChange;

    void Add(toolkit::TColor color);
    void Insert(int index, toolkit::TColor color);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Move(int from, int to);
    void Clear();
    void Assign(const TColorList& source);
    int IndexOf(toolkit::TColor color) const;
    int Count() const { return static_cast<int>(colors_.size()); }
    toolkit::TColor operator[](int index) const;
    bool contains(toolkit::TColor color) const { return IndexOf(color) >= 0; }
    void Change();

  private:
    void check(int index) const;
    std::vector<toolkit::TColor> colors_;
};

// One channel darkened (x 0.88) or lightened (/ 0.88), rounded half to even; lightened
// values are held at 255.
int darkenChannel(int c);
int lightenChannel(int c);

class TCustomBitmapButton : public QWidget {
    Q_OBJECT
  public:
    explicit TCustomBitmapButton(QWidget* parent = nullptr);
    ~TCustomBitmapButton() override;

    TColorList& Colors() { return colors_; }
    const TColorList& Colors() const { return colors_; }
    bool ShadowEffect() const { return shadowEffect_; }
    void setShadowEffect(bool on) { shadowEffect_ = on; }
    bool PositionEffect() const { return positionEffect_; }
    void setPositionEffect(bool on) { positionEffect_ = on; }
    bool mouseInside() const { return mouseInside_; }
    bool pressed() const { return pressed_; }

    TNotifyEvent OnMoseEnter, OnMouseLeave, OnClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TKeyEvent OnKeyDown, OnKeyUp;

    // A click from code: raises OnClick only.
    void Click();

  protected:
    virtual void ColorsChanged() = 0;
    virtual void Darken(QImage& bitmap);
    virtual void Lighten(QImage& bitmap);
    virtual void ShiftBack() { move(x() - 1, y() - 1); }
    virtual void Shift() { move(x() + 1, y() + 1); }
    virtual void applyPressEffects() = 0;
    virtual void applyReleaseEffects() = 0;
    // The window region for `face` from Colors: all of the face when Colors is empty.
    void applyRegion(const QImage& face);

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    void recolor(QImage& bitmap, int (*channel)(int)) const;
    TColorList colors_;
    bool shadowEffect_ = true;
    bool positionEffect_ = true;
    bool mouseInside_ = false;
    bool pressed_ = false;
};

class TCoolBitmapButton : public TCustomBitmapButton {
    Q_OBJECT
  public:
    explicit TCoolBitmapButton(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return bitmap_; }
    // Copies `bitmap`; a non-empty face resizes the button to it and clears Colors.
    // `doubled` is the face drawn at twice the pixels, for high-density screens.
    void setBitmap(const QImage& bitmap, const QImage& doubled = QImage());
    const QImage& Bitmap2x() const { return bitmap2x_; }
    QSize sizeHint() const override;

  protected:
    void ColorsChanged() override;
    void applyPressEffects() override;
    void applyReleaseEffects() override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void bitmapChanged();
    QImage bitmap_;
    QImage bitmap2x_;
};

}  // namespace hk::skin
