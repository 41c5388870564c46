#include "printing/qt_device.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "toolkit/codepage.h"
#include "toolkit/fonts.h"

namespace hk::printing {

QtReportDevice::QtReportDevice(DeviceKind kind, const Geometry& geometry, QPaintDevice* measureOn,
                               QPainter* painter)
    : kind_(kind), g_(geometry), measureOn_(measureOn), painter_(painter) {}

QtReportDevice::Geometry QtReportDevice::PrinterGeometry(const QPrinter& printer) {
    Geometry g;
    const int res = printer.resolution();
    g.resolutionX = g.resolutionY = res;
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(res);
    const QRect paint = layout.paintRectPixels(res);
    g.printableWidth = paint.width();
    g.printableHeight = paint.height();
    g.offsetLeft = paint.left() - full.left();
    g.offsetTop = paint.top() - full.top();
    g.offsetRight = full.width() - g.printableWidth - g.offsetLeft;
    g.offsetBottom = full.height() - g.printableHeight - g.offsetTop;
    return g;
}

QtReportDevice::Geometry QtReportDevice::ScreenGeometry(double widthInches, double heightInches,
                                                        double dpi, int originColumn,
                                                        int originRow) {
    Geometry g;
    g.resolutionX = g.resolutionY = dpi;
    g.printableWidth = static_cast<int>(std::lround(widthInches * dpi));
    g.printableHeight = static_cast<int>(std::lround(heightInches * dpi));
    g.originColumn = originColumn;
    g.originRow = originRow;
    return g;
}

QString QtReportDevice::QtFace(const std::string& face) {
    return hk::toolkit::substituteFace(face);
}

int QtReportDevice::CreateFont(const DeviceFontRequest& request, DeviceFontMetrics& metrics) {
    QFont font(QtFace(request.face));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(request.emHeight))));
    font.setBold(request.bold);
    font.setItalic(request.italic);
    font.setUnderline(request.underline);
    font.setStrikeOut(request.strikeout);
    font.setHintingPreference(QFont::PreferNoHinting);
    if (request.pitch == fpFixed) {
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
    }
    const QFontMetricsF fm = measureOn_ ? QFontMetricsF(font, measureOn_) : QFontMetricsF(font);
    metrics.ascent = fm.ascent();
    metrics.descent = fm.descent();
    fonts_[nextHandle_] = font;
    return nextHandle_++;
}

void QtReportDevice::SelectFont(int handle) {
    auto it = fonts_.find(handle);
    if (it == fonts_.end()) return;
    current_ = it->second;
    metrics_.emplace(measureOn_ ? QFontMetricsF(current_, measureOn_) : QFontMetricsF(current_));
    if (painter_) painter_->setFont(current_);
}

void QtReportDevice::DeleteFont(int handle) {
    fonts_.erase(handle);
}

double QtReportDevice::TextWidth(std::string_view text) {
    if (text.empty()) return 0;
    if (!metrics_)
        metrics_.emplace(measureOn_ ? QFontMetricsF(current_, measureOn_)
                                    : QFontMetricsF(current_));
    return metrics_->horizontalAdvance(hk::toolkit::fromCp1251(text));
}

void QtReportDevice::DrawText(double x, double baseline, std::string_view text,
                              std::uint32_t colour) {
    if (!painter_ || text.empty()) return;
    painter_->setPen(QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                            static_cast<int>((colour >> 16) & 0xFF)));
    painter_->drawText(QPointF(x, baseline), hk::toolkit::fromCp1251(text));
}

void QtReportDevice::SetNames(std::string device, std::string driver, std::string port) {
    deviceName_ = std::move(device);
    driverName_ = std::move(driver);
    portName_ = std::move(port);
}

void QtReportDevice::StartPage() {
    if (pagesStarted_++ > 0 && OnNewPage) OnNewPage();
}

}  // namespace hk::printing
