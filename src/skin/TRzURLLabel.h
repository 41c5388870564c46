#pragma once
// A text label that is a web link: underlined caption in the link colour under a hand
// cursor; a click (the user's, or Click() from code) opens its URL, or its caption when
// the URL is blank, and after a successful open the label takes its visited colour.

#include <QWidget>
#include <functional>

#include "skin/events.h"
#include "toolkit/colors.h"

namespace hk::skin {

enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TLabelAlignment { taLeftJustify, taRightJustify, taCenter };

class TRzURLLabel : public QWidget {
    Q_OBJECT
  public:
    explicit TRzURLLabel(QWidget* parent = nullptr);

    QString URL() const { return url_; }
    void setURL(const QString& url) { url_ = url; }
    bool Visited() const { return visited_; }
    void setVisited(bool visited);
    toolkit::TColor UnvisitedColor() const { return unvisitedColor_; }
    void setUnvisitedColor(toolkit::TColor color);
    toolkit::TColor VisitedColor() const { return visitedColor_; }
    void setVisitedColor(toolkit::TColor color);

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The colour the text is drawn with; a layout may set it (red) without recolouring.
    toolkit::TColor FontColor() const { return fontColor_; }
    void setFontColor(toolkit::TColor color);
    toolkit::TColor Color() const { return color_; }
    void setColor(toolkit::TColor color);
    TLabelAlignment Alignment() const { return alignment_; }
    void setAlignment(TLabelAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void setLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool Transparent() const { return transparent_; }
    void setTransparent(bool on);
    bool ShowAccelChar() const { return showAccelChar_; }
    void setShowAccelChar(bool on);

    TNotifyEvent OnClick, OnMouseEnter, OnMouseLeave;

    // The shell open; defaults to toolkit::shellOpen. Replaceable for tests and tools.
    std::function<bool(const QString&)> opener;

    // Raises OnClick, then opens the target. Works on hidden labels too.
    void Click();
    // The rectangle the caption is drawn in, for the current size and settings.
    QRect textRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int textFlags() const;
    QString displayText() const;
    void recolor();
    void adjustBounds();

    QString url_;
    QString caption_;
    bool visited_ = false;
    toolkit::TColor unvisitedColor_ = toolkit::clHighlight;
    toolkit::TColor visitedColor_ = toolkit::rgbColor(128, 0, 128);
    toolkit::TColor fontColor_ = toolkit::clHighlight;
    toolkit::TColor color_ = toolkit::clBtnFace;
    TLabelAlignment alignment_ = TLabelAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool wordWrap_ = false;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
};

}  // namespace hk::skin
