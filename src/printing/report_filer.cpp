#include "printing/report_filer.h"

namespace hk::printing {

namespace {

bool HasBlankBetweenWords(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first != std::string::npos && text.find(' ', first) < last;
}

}  // namespace

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
    // A text of several words is kept at the printer's width, spread over it,
    // so that a replay with other font metrics puts every word where the
    // printer puts it. A single word, indented or not, has nothing to spread:
    // drawn from its x it already starts where the printer starts it. Rotated
    // texts and texts with formatting codes stay as they are.
    const bool severalWords = HasBlankBetweenWords(run.text);
    const bool hasCode = run.text.find('\x01') != std::string::npos;
    if (AccuracyMethod == amPositioning && run.kind != pjBlock && severalWords && !hasCode &&
        Font().rotation == 0)
        stored.kind = pjBlock;
    stream_.pages.back().texts.push_back({Font(), stored});
    if (ProcessMessages) ProcessMessages();
}

}  // namespace hk::printing
