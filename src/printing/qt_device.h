#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "printing/report_device.h"

class QPainter;
class QPaintDevice;
class QPrinter;

namespace hk::printing {

// The surface's device over Qt: measures with Qt fonts on a paint device and,
// when a painter is given, draws. Arial and Courier New come out as their
// metric-compatible Liberation faces.
class QtReportDevice : public ReportDevice {
  public:
    struct Geometry {
        double resolutionX = 96, resolutionY = 96;
        int printableWidth = 0, printableHeight = 0;
        int offsetLeft = 0, offsetTop = 0, offsetRight = 0, offsetBottom = 0;
        int originColumn = 0, originRow = 0;
    };

    QtReportDevice(DeviceKind kind, const Geometry& geometry, QPaintDevice* measureOn,
                   QPainter* painter);

    // The geometry of a printer's page in its own resolution.
    static Geometry PrinterGeometry(const QPrinter& printer);
    // A screen page of the given paper size at a resolution, drawn at an origin.
    static Geometry ScreenGeometry(double widthInches, double heightInches, double dpi,
                                   int originColumn, int originRow);

    static QString QtFace(const std::string& face);

    DeviceKind Kind() const override { return kind_; }
    double ResolutionX() const override { return g_.resolutionX; }
    double ResolutionY() const override { return g_.resolutionY; }
    int PrintableWidth() const override { return g_.printableWidth; }
    int PrintableHeight() const override { return g_.printableHeight; }
    int OffsetLeft() const override { return g_.offsetLeft; }
    int OffsetTop() const override { return g_.offsetTop; }
    int OffsetRight() const override { return g_.offsetRight; }
    int OffsetBottom() const override { return g_.offsetBottom; }
    int OriginColumn() const override { return g_.originColumn; }
    int OriginRow() const override { return g_.originRow; }

    int CreateFont(const DeviceFontRequest& request, DeviceFontMetrics& metrics) override;
    void SelectFont(int handle) override;
    void DeleteFont(int handle) override;
    double TextWidth(std::string_view text) override;
    void DrawText(double x, double baseline, std::string_view text, std::uint32_t colour) override;

    std::string DeviceName() const override { return deviceName_; }
    std::string DriverName() const override { return driverName_; }
    std::string PortName() const override { return portName_; }
    void SetNames(std::string device, std::string driver, std::string port);

    // Page brackets for a printer; set by the owner that runs the job.
    std::function<void()> OnNewPage;

    void StartPage() override;
    void EndPage() override {}

  private:
    DeviceKind kind_;
    Geometry g_;
    QPaintDevice* measureOn_;
    QPainter* painter_;
    std::map<int, QFont> fonts_;
    int nextHandle_ = 1;
    QFont current_;
    std::optional<QFontMetricsF> metrics_;  // of current_, measured once per selection
    int pagesStarted_ = 0;
    std::string deviceName_ = "Preview", driverName_ = "Preview", portName_ = "Screen";
};

}  // namespace hk::printing
