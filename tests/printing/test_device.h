#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "printing/report_device.h"

namespace hk::printing::testing {

// A device with round numbers: every byte is half an em wide (a blank in a
// variable-pitch font only a quarter), the ascent is 0.8 em and the descent
// 0.2 em; it remembers what it drew.
class TestDevice : public ReportDevice {
  public:
    struct Drawn {
        double x, baseline;
        std::string text;
        double em;
    };

    TestDevice(double dpi, int widthPx, int heightPx) : dpi_(dpi), w_(widthPx), h_(heightPx) {}

    DeviceKind Kind() const override { return DeviceKind::Printer; }
    double ResolutionX() const override { return dpi_; }
    double ResolutionY() const override { return dpi_; }
    int PrintableWidth() const override { return w_; }
    int PrintableHeight() const override { return h_; }
    int OffsetLeft() const override { return 0; }
    int OffsetTop() const override { return 0; }

    int CreateFont(const DeviceFontRequest& r, DeviceFontMetrics& m) override {
        requests.push_back(r);
        m.ascent = 0.8 * r.emHeight;
        m.descent = 0.2 * r.emHeight;
        ++live;
        return static_cast<int>(requests.size());
    }
    void SelectFont(int handle) override {
        em_ = requests[static_cast<size_t>(handle - 1)].emHeight;
        narrowBlanks_ = requests[static_cast<size_t>(handle - 1)].pitch == fpVariable;
    }
    void DeleteFont(int) override { --live; }
    double TextWidth(std::string_view text) override {
        double width = 0;
        const double blank = blankEm > 0 ? blankEm * em_ : narrowBlanks_ ? em_ / 4 : em_ / 2;
        for (char c : text) width += c == ' ' ? blank : em_ / 2;
        return width;
    }
    void DrawText(double x, double baseline, std::string_view text, std::uint32_t) override {
        drawn.push_back({x, baseline, std::string(text), em_});
    }
    void StartPage() override { ++pages; }
    void AbortDoc() override { aborted = true; }
    std::string DeviceName() const override { return "TestJet"; }
    std::string DriverName() const override { return "testdrv"; }
    std::string PortName() const override { return "LPT9:"; }

    double blankEm = 0;  // when set, every blank is this many ems wide
    std::vector<DeviceFontRequest> requests;
    std::vector<Drawn> drawn;
    int live = 0;
    int pages = 0;
    bool aborted = false;

  private:
    double dpi_;
    int w_, h_;
    double em_ = 10;
    bool narrowBlanks_ = false;
};

// A4 at 254 dpi: ten pixels to the millimetre.
inline TestDevice A4Device() {
    return TestDevice(254, 2100, 2970);
}

}  // namespace hk::printing::testing
