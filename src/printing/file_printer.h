#pragma once

#include "printing/base_report.h"
#include "printing/page_stream.h"

namespace hk::printing {

// Replays a page stream onto a device: the printer, one document per call.
class TFilePrinter : public TBaseReport {
  public:
    explicit TFilePrinter(ReportDevice& device) : TBaseReport(device) {}

    // All pages as one print job.
    void PrintStream(const PageStream& stream);
    // Draws one page (1-based) as a document of its own; false when out of range.
    bool DrawPage(const PageStream& stream, int pageNumber);

  protected:
    void ReplayPage(const RecordedPage& page);
};

// Replays pages onto a bitmap at a zoom factor (per cent).
class TFilePreview : public TFilePrinter {
  public:
    explicit TFilePreview(ReportDevice& bitmapDevice, double zoomFactor = 100)
        : TFilePrinter(bitmapDevice) {
        SetZoom(zoomFactor);
    }
};

}  // namespace hk::printing
