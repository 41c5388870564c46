#pragma once

#include "printing/base_report.h"
#include "printing/page_stream.h"

namespace hk::printing {

enum TAccuracyMethod { amPositioning, amAppearance };

// Records the drawing into a page stream instead of drawing it. Texts are
// measured on the device given (the printer), so the layout is the printer's.
class TReportFiler : public TBaseReport {
  public:
    TReportFiler(ReportDevice& measureDevice, PageStream& stream);

    TAccuracyMethod AccuracyMethod = amAppearance;

  protected:
    void OutputText(const TextRun& run) override;
    void BeginPageOutput() override;
    void EndPageOutput() override {}

  private:
    PageStream& stream_;
};

}  // namespace hk::printing
