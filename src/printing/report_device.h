#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hk::printing {

enum TFontPitch { fpDefault, fpVariable, fpFixed };

// What the surface asks of a device font. Sizes are device pixels (the em
// height, already scaled for zoom and ScaleY).
struct DeviceFontRequest {
    std::string face;
    double emHeight = 0;
    TFontPitch pitch = fpDefault;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int escapement = 0;  // tenths of a degree
    int charset = 1;     // 1 is the default charset
    bool operator==(const DeviceFontRequest&) const = default;
};

struct DeviceFontMetrics {
    double ascent = 0;   // pixels above the baseline
    double descent = 0;  // pixels below it
};

enum class DeviceKind { Screen, Printer, Stream };

// The few things the report surface needs from whatever it draws on or
// measures with: resolution, paper and printable area, fonts, text extent and
// text output, and the print job's page brackets.
class ReportDevice {
  public:
    virtual ~ReportDevice() = default;

    virtual DeviceKind Kind() const = 0;
    virtual double ResolutionX() const = 0;  // pixels per inch
    virtual double ResolutionY() const = 0;
    virtual int PrintableWidth() const = 0;  // pixels
    virtual int PrintableHeight() const = 0;
    // Unprintable borders in pixels; the paper is the printable area plus them.
    virtual int OffsetLeft() const = 0;
    virtual int OffsetTop() const = 0;
    virtual int OffsetRight() const { return OffsetLeft(); }
    virtual int OffsetBottom() const { return OffsetTop(); }
    // Pixel added to every converted position (the preview draws beside its rulers).
    virtual int OriginColumn() const { return 0; }
    virtual int OriginRow() const { return 0; }

    // Fonts: the surface keeps the handles and deletes them when the document ends.
    virtual int CreateFont(const DeviceFontRequest& request, DeviceFontMetrics& metrics) = 0;
    virtual void SelectFont(int handle) = 0;
    virtual void DeleteFont(int handle) = 0;

    // Width in pixels of the text in the selected font; Windows-1251 bytes.
    virtual double TextWidth(std::string_view text) = 0;
    virtual void DrawText(double x, double baseline, std::string_view text,
                          std::uint32_t colour) = 0;

    virtual void StartDoc(const std::string& /*title*/) {}
    virtual void StartPage() {}
    virtual void EndPage() {}
    virtual void EndDoc() {}
    virtual void AbortDoc() {}

    // For the status text tokens %d, %r and %t.
    virtual std::string DeviceName() const { return "Preview"; }
    virtual std::string DriverName() const { return "Preview"; }
    virtual std::string PortName() const { return "Screen"; }
};

}  // namespace hk::printing
