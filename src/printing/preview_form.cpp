#include "printing/preview_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "printing/file_printer.h"
#include "printing/qt_device.h"

namespace hk::printing {

namespace {

constexpr int kRulerBand = 20;
constexpr int kToolPanel = 41;
const QColor kRulerFill(255, 255, 128);
const QColor kRulerCorner(192, 192, 192);

const char* const kHints[] = {"Zoom In",   "Zoom Out",  "Zoom Page Width", "Zoom Whole Page",
                              "Prev Page", "Next Page", "Print",           "Done"};

void DrawMagnifier(QPainter& p, bool plus) {
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(2, 2, 11, 11));
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPointF(12, 12), QPointF(17, 17));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(5, 7.5), QPointF(10, 7.5));
    if (plus) p.drawLine(QPointF(7.5, 5), QPointF(7.5, 10));
}

void DrawSheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(Qt::gray, 1));
    for (double y = r.top() + 3; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void DrawTriangle(QPainter& p, bool left) {
    QPainterPath path;
    if (left) {
        path.moveTo(13, 3);
        path.lineTo(5, 9.5);
        path.lineTo(13, 16);
    } else {
        path.moveTo(6, 3);
        path.lineTo(14, 9.5);
        path.lineTo(6, 16);
    }
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawPath(path);
}

// Small pictures for the toolbar, drawn rather than loaded.
QIcon ButtonIcon(int which) {
    QPixmap pm(19, 19);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
        case TKxPreviewForm::ZoomInButton:
            DrawMagnifier(p, true);
            break;
        case TKxPreviewForm::ZoomOutButton:
            DrawMagnifier(p, false);
            break;
        case TKxPreviewForm::ZoomWidthButton:
            DrawSheet(p, QRectF(4, 2, 11, 15));
            p.setPen(QPen(QColor(0, 0, 128), 1.5));
            p.drawLine(QPointF(1, 9.5), QPointF(18, 9.5));
            p.drawLine(QPointF(1, 9.5), QPointF(4, 7));
            p.drawLine(QPointF(1, 9.5), QPointF(4, 12));
            p.drawLine(QPointF(18, 9.5), QPointF(15, 7));
            p.drawLine(QPointF(18, 9.5), QPointF(15, 12));
            break;
        case TKxPreviewForm::ZoomPageButton:
            DrawSheet(p, QRectF(4, 1.5, 11, 16));
            break;
        case TKxPreviewForm::PrevButton:
            DrawTriangle(p, true);
            break;
        case TKxPreviewForm::NextButton:
            DrawTriangle(p, false);
            break;
        case TKxPreviewForm::PrintButton:
            DrawSheet(p, QRectF(5, 1.5, 9, 7));
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(160, 160, 160));
            p.drawRect(QRectF(1.5, 7.5, 16, 7));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(5, 12.5, 9, 5));
            p.setBrush(QColor(0, 160, 0));
            p.drawEllipse(QRectF(14, 9, 2, 2));
            break;
        case TKxPreviewForm::DoneButton:
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(QColor(150, 90, 40));
            p.drawRect(QRectF(4, 2, 10, 15));
            p.setBrush(QColor(255, 220, 0));
            p.drawEllipse(QRectF(11, 9, 2, 2));
            break;
        default:
            break;
    }
    return QIcon(pm);
}

}  // namespace

TKxPreviewForm::TKxPreviewForm(QWidget* parent, const PageStream& pages,
                               const TSystemPreview& settings, const QString& caption)
    : QDialog(parent), pages_(pages), settings_(settings), zoom_(settings.ZoomFactor) {
    setObjectName(QStringLiteral("TKxPreviewForm"));
    setWindowTitle(caption);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    setFont(f);
    resize(settings.FormWidth, settings.FormHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        dpi_ = screen->logicalDotsPerInchX();
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    }
    if (settings.Maximized) {
        // Also take the whole work area ourselves: without a window manager
        // (or with one that ignores the state) the window would stay small.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    }

    auto* panel = new QWidget(this);
    panel->setFixedHeight(kToolPanel);
    for (int i = 0; i < ButtonCount; ++i) {
        auto* b = new QToolButton(panel);
        b->setGeometry(8 + 24 * i, 8, 25, 25);
        b->setToolTip(QString::fromLatin1(kHints[i]));
        b->setAccessibleName(b->toolTip());
        b->setIcon(ButtonIcon(i));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::TabFocus);  // the mouse leaves the focus where it is
        buttons_[i] = b;
    }
    int x = 8 + 24 * ButtonCount + 12;
    auto* zoomLabel = new QLabel(QStringLiteral("Zoom %"), panel);
    zoomLabel->setGeometry(x, 12, 50, 17);
    zoomEdit_ = new QLineEdit(panel);
    zoomEdit_->setGeometry(x + 50, 10, 50, 21);
    x += 112;
    auto* pageHash = new QLabel(QStringLiteral("Page #"), panel);
    pageHash->setGeometry(x, 12, 46, 17);
    pageEdit_ = new QLineEdit(panel);
    pageEdit_->setGeometry(x + 46, 10, 40, 21);
    // The captions name the fields for a screen reader.
    zoomLabel->setBuddy(zoomEdit_);
    pageHash->setBuddy(pageEdit_);
    pageLabel_ = new QLabel(QStringLiteral("Page 1 of 1"), panel);
    pageLabel_->setGeometry(x + 96, 12, 160, 17);

    scrollBox_ = new QScrollArea(this);
    scrollBox_->setBackgroundRole(QPalette::Dark);
    pageView_ = new QLabel;
    pageView_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrollBox_->setWidget(pageView_);
    scrollBox_->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(scrollBox_, 1);

    connect(buttons_[ZoomInButton], &QToolButton::clicked, this, &TKxPreviewForm::ZoomIn);
    connect(buttons_[ZoomOutButton], &QToolButton::clicked, this, &TKxPreviewForm::ZoomOut);
    connect(buttons_[ZoomWidthButton], &QToolButton::clicked, this, [this] { SetZoomFactor(-2); });
    connect(buttons_[ZoomPageButton], &QToolButton::clicked, this, [this] { SetZoomFactor(-1); });
    connect(buttons_[PrevButton], &QToolButton::clicked, this, &TKxPreviewForm::PrevPage);
    connect(buttons_[NextButton], &QToolButton::clicked, this, &TKxPreviewForm::NextPage);
    connect(buttons_[PrintButton], &QToolButton::clicked, this, &TKxPreviewForm::PrintClick);
    connect(buttons_[DoneButton], &QToolButton::clicked, this, &QDialog::accept);
    connect(zoomEdit_, &QLineEdit::editingFinished, this, &TKxPreviewForm::ZoomEditDone);
    connect(pageEdit_, &QLineEdit::editingFinished, this, &TKxPreviewForm::PageEditDone);
    zoomEdit_->installEventFilter(this);
    pageEdit_->installEventFilter(this);

    zoomEdit_->setText(QString::number(zoom_, 'f', 1));
    UpdatePageFields();
}

double TKxPreviewForm::ZoomRule(double requested, double widthFit, double pageFit) {
    if (requested <= -1.9) return widthFit;
    if (requested < 0) return pageFit;
    if (requested < 10) return 10;
    if (requested > 200) return 200;
    return requested;
}

double TKxPreviewForm::PageWidthFit() const {
    const double pageW = pages_.pageWidth * dpi_;
    const double pageH = pages_.pageHeight * dpi_;
    if (pageW <= 0) return 100;
    const int frame = scrollBox_->frameWidth() * 2;
    const double margin = 2 * pageW * settings_.MarginPercent / 100.0;
    double room = scrollBox_->width() - frame - kRulerBand - settings_.ShadowDepth;
    double zoom = (room - margin) / pageW * 100.0;
    if (pageH * zoom / 100.0 + kRulerBand > scrollBox_->height() - frame) {
        room -= scrollBox_->verticalScrollBar()->sizeHint().width();
        zoom = (room - margin) / pageW * 100.0;
    }
    return std::max(1.0, zoom);
}

double TKxPreviewForm::WholePageFit() const {
    const double pageW = pages_.pageWidth * dpi_;
    const double pageH = pages_.pageHeight * dpi_;
    if (pageW <= 0 || pageH <= 0) return 100;
    const int frame = scrollBox_->frameWidth() * 2;
    const double marginW = 2 * pageW * settings_.MarginPercent / 100.0;
    const double marginH = 2 * pageH * settings_.MarginPercent / 100.0;
    const double byWidth =
        (scrollBox_->width() - frame - kRulerBand - settings_.ShadowDepth - marginW - 4) / pageW *
        100.0;
    const double byHeight =
        (scrollBox_->height() - frame - kRulerBand - settings_.ShadowDepth - marginH - 4) / pageH *
        100.0;
    return std::max(1.0, std::min(byWidth, byHeight));
}

void TKxPreviewForm::SetZoomFactor(double requested) {
    zoom_ =
        ZoomRule(requested, requested < 0 ? PageWidthFit() : 0, requested < 0 ? WholePageFit() : 0);
    zoomEdit_->setText(QString::number(zoom_, 'f', 1));
    DrawCurrentPage();
}

void TKxPreviewForm::ZoomIn() {
    SetZoomFactor(zoom_ + settings_.ZoomInc);
}
void TKxPreviewForm::ZoomOut() {
    SetZoomFactor(zoom_ - settings_.ZoomInc);
}

void TKxPreviewForm::PrevPage() {
    if (page_ - settings_.PageInc >= 1) GotoPage(page_ - settings_.PageInc);
}

void TKxPreviewForm::NextPage() {
    if (page_ + settings_.PageInc <= PageCount()) GotoPage(page_ + settings_.PageInc);
}

void TKxPreviewForm::GotoPage(int page) {
    page = std::clamp(page, 1, std::max(1, PageCount()));
    if (page != page_) {
        page_ = page;
        DrawCurrentPage();
    }
    UpdatePageFields();
}

void TKxPreviewForm::PrintClick() {
    if (!OnPrint) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        ~Restore() { QApplication::restoreOverrideCursor(); }
    } restore;
    OnPrint();
}

void TKxPreviewForm::UpdatePageFields() {
    pageEdit_->setText(QString::number(page_));
    pageLabel_->setText(QStringLiteral("Page %1 of %2").arg(page_).arg(std::max(1, PageCount())));
}

void TKxPreviewForm::ZoomEditDone() {
    bool ok = false;
    const double value = zoomEdit_->text().trimmed().toDouble(&ok);
    if (ok && value != zoom_)
        SetZoomFactor(value);
    else
        zoomEdit_->setText(QString::number(zoom_, 'f', 1));
}

void TKxPreviewForm::PageEditDone() {
    bool ok = false;
    const int value = pageEdit_->text().trimmed().toInt(&ok);
    if (ok && value != page_)
        GotoPage(value);
    else
        UpdatePageFields();
}

QImage TKxPreviewForm::RenderPage(int page, double zoom) const {
    const double scale = dpi_ * zoom / 100.0;
    const int pageW = static_cast<int>(std::lround(pages_.pageWidth * scale));
    const int pageH = static_cast<int>(std::lround(pages_.pageHeight * scale));
    const bool rulers = settings_.RulerType == rtBothCm;
    const int band = rulers ? kRulerBand : 0;
    const int shadow = settings_.ShadowDepth;
    QImage image(band + pageW + shadow + 1, band + pageH + shadow + 1, QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Dark));
    QPainter p(&image);

    if (rulers) {
        p.fillRect(0, 0, band, band, kRulerCorner);
        p.fillRect(band, 0, image.width() - band, band, kRulerFill);
        p.fillRect(0, band, band, image.height() - band, kRulerFill);
        QFont rulerFont(QStringLiteral("Liberation Sans"));
        rulerFont.setPixelSize(std::max(1, static_cast<int>(std::lround(7 * dpi_ / 72.0))));
        p.setFont(rulerFont);
        p.setPen(Qt::black);
        const QFontMetrics fm(rulerFont);
        const double pxPerMm = scale / 25.4;
        for (int mm = 0; mm / 25.4 <= pages_.pageWidth + 1e-9; ++mm) {
            const int x = band + static_cast<int>(std::lround(mm * pxPerMm));
            const int len = mm % 10 == 0 ? 18 : mm % 5 == 0 ? 15 : 5;
            p.drawLine(x, band - 1, x, band - len);
            if (mm % 10 == 0) {
                const QString label = QString::number(mm / 10);
                p.drawText(x - 1 - fm.horizontalAdvance(label), fm.ascent(), label);
            }
        }
        for (int mm = 0; mm / 25.4 <= pages_.pageHeight + 1e-9; ++mm) {
            const int y = band + static_cast<int>(std::lround(mm * pxPerMm));
            const int len = mm % 10 == 0 ? 18 : mm % 5 == 0 ? 15 : 5;
            p.drawLine(band - 1, y, band - len, y);
            if (mm % 10 == 0) p.drawText(2, y - 1 - fm.descent(), QString::number(mm / 10));
        }
    }

    p.fillRect(band, band, pageW, pageH, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(band, band, pageW, pageH);
    p.setRenderHint(QPainter::TextAntialiasing);
    QtReportDevice device(
        DeviceKind::Screen,
        QtReportDevice::ScreenGeometry(pages_.pageWidth, pages_.pageHeight, dpi_, band, band),
        &image, &p);
    TFilePreview player(device, zoom);
    player.DrawPage(pages_, page);
    return image;
}

void TKxPreviewForm::DrawCurrentPage() {
    if (PageCount() == 0) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    pageView_->setPixmap(QPixmap::fromImage(RenderPage(page_, zoom_)));
    pageView_->resize(pageView_->pixmap().size());
    QApplication::restoreOverrideCursor();
}

void TKxPreviewForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    page_ = 1;
    SetZoomFactor(zoom_);
    UpdatePageFields();
    // After the show has finished, inside the window's own loop, so that a
    // handler may already close it.
    if (OnPreviewShow)
        QMetaObject::invokeMethod(
            this, [this] { OnPreviewShow(*this); }, Qt::QueuedConnection);
}

bool TKxPreviewForm::HandleKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool plain = mods == Qt::NoModifier || mods == Qt::ControlModifier;
    QScrollBar* v = scrollBox_->verticalScrollBar();
    QScrollBar* h = scrollBox_->horizontalScrollBar();
    auto moveBar = [](QScrollBar* bar, int to) {
        bar->setValue(std::clamp(to, 0, std::max(0, bar->maximum())));
    };
    switch (event->key()) {
        case Qt::Key_PageUp:
            if (!plain) return false;
            moveBar(v, v->value() - scrollBox_->viewport()->height());
            return true;
        case Qt::Key_PageDown:
            if (!plain) return false;
            moveBar(v, v->value() + scrollBox_->viewport()->height());
            return true;
        case Qt::Key_Home:
            if (!plain) return false;
            moveBar(v, 0);
            return true;
        case Qt::Key_End:
            if (!plain) return false;
            moveBar(v, v->maximum());
            return true;
        case Qt::Key_Up:
            if (!plain) return false;
            moveBar(v, v->value() - v->singleStep());
            return true;
        case Qt::Key_Down:
            if (!plain) return false;
            moveBar(v, v->value() + v->singleStep());
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right: {
            const int sign = event->key() == Qt::Key_Left ? -1 : 1;
            if (mods == Qt::ControlModifier) {
                moveBar(h, h->value() + sign * h->singleStep());
                return true;
            }
            if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
                moveBar(h, h->value() + sign * scrollBox_->viewport()->width());
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

void TKxPreviewForm::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) QDialog::keyPressEvent(event);
}

bool TKxPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == zoomEdit_ || watched == pageEdit_) && event->type() == QEvent::KeyPress)
        return HandleKey(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

}  // namespace hk::printing
