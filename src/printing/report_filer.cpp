#include "printing/report_filer.h"

namespace hk::printing {

TReportFiler::TReportFiler(ReportDevice& measureDevice, PageStream& stream)
    : TBaseReport(measureDevice), stream_(stream) {
    stream_.pageWidth = PageWidth() / UnitsFactor();
    stream_.pageHeight = PageHeight() / UnitsFactor();
}

void TReportFiler::BeginPageOutput() {
    if (PageOutput()) stream_.pages.emplace_back();
}

void TReportFiler::OutputText(const TextRun& run) {
    if (!PageOutput() || stream_.pages.empty() || run.text.empty()) return;
    TextRun stored = run;
    // A text with blanks is kept at the printer's width, spread over it, so
    // that a replay with other font metrics puts every word where the printer
    // puts it. Rotated texts and texts with formatting codes stay as they are.
    const bool hasBlank = run.text.find(' ') != std::string::npos;
    const bool hasCode = run.text.find('\x01') != std::string::npos;
    if (AccuracyMethod == amPositioning && run.kind != pjBlock && hasBlank && !hasCode &&
        Font().rotation == 0)
        stored.kind = pjBlock;
    stream_.pages.back().texts.push_back({Font(), stored});
    if (ProcessMessages) ProcessMessages();
}

}  // namespace hk::printing
