#pragma once

#include <QDialog>
#include <QImage>
#include <functional>

#include "printing/page_stream.h"
#include "printing/report_settings.h"

class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

namespace hk::printing {

// The preview window: toolbar, zoom and page fields, and the recorded pages
// drawn with centimetre rulers at the zoom factor.
class TKxPreviewForm : public QDialog {
    Q_OBJECT
  public:
    enum Button {
        ZoomInButton,
        ZoomOutButton,
        ZoomWidthButton,
        ZoomPageButton,
        PrevButton,
        NextButton,
        PrintButton,
        DoneButton,
        ButtonCount
    };

    TKxPreviewForm(QWidget* parent, const PageStream& pages, const TSystemPreview& settings,
                   const QString& caption);

    // The zoom rule: -1.9 or less fits the page width, up to 0 the whole
    // page, below 10 is 10, above 200 is 200.
    static double ZoomRule(double requested, double widthFit, double pageFit);

    void SetZoomFactor(double requested);
    double ZoomFactor() const { return zoom_; }
    double PageWidthFit() const;
    double WholePageFit() const;
    void ZoomIn();
    void ZoomOut();
    void PrevPage();
    void NextPage();
    void GotoPage(int page);
    void PrintClick();
    int CurrentPage() const { return page_; }
    int PageCount() const { return static_cast<int>(pages_.pages.size()); }

    // One page as the window shows it: rulers, white page, replayed drawing.
    QImage RenderPage(int page, double zoom) const;
    double ScreenDpi() const { return dpi_; }

    QToolButton* ToolButton(Button b) const { return buttons_[b]; }
    QLineEdit* ZoomEdit() const { return zoomEdit_; }
    QLineEdit* PageEdit() const { return pageEdit_; }
    QLabel* PageLabel() const { return pageLabel_; }
    QScrollArea* ScrollBox() const { return scrollBox_; }

    std::function<void()> OnPrint;
    std::function<void(TKxPreviewForm&)> OnPreviewShow;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool HandleKey(QKeyEvent* event);
    void DrawCurrentPage();
    void UpdatePageFields();
    void ZoomEditDone();
    void PageEditDone();

    const PageStream& pages_;
    TSystemPreview settings_;
    double zoom_;
    int page_ = 1;
    double dpi_ = 96;
    bool shown_ = false;
    QToolButton* buttons_[ButtonCount] = {};
    QLineEdit* zoomEdit_;
    QLineEdit* pageEdit_;
    QLabel* pageLabel_;
    QScrollArea* scrollBox_;
    QLabel* pageView_;
};

}  // namespace hk::printing
