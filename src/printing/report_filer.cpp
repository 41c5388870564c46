#include "printing/report_filer.h"

namespace hk::printing {

namespace {

bool HasBlankBetweenWords(const std::string& text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last != std::string::npos && text.find(' ') < last;
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
    // Positioning keeps every word where the printer puts it, whatever font
    // metrics a replay has: an indent becomes the printer's width of its
    // blanks, and a text of several words is kept at the printer's width,
    // spread over it. A single word has nothing to spread: drawn from its x
    // it starts where the printer starts it. Rotated texts and texts with
    // formatting codes stay as they are.
    const bool hasCode = run.text.find('\x01') != std::string::npos;
    if (AccuracyMethod == amPositioning && run.kind != pjBlock && !hasCode &&
        Font().rotation == 0) {
        const std::size_t indent = stored.text.find_first_not_of(' ');
        if (indent > 0 && indent != std::string::npos) {
            const double shift =
                XD2I(Device().TextWidth(std::string_view(stored.text).substr(0, indent)));
            stored.x += shift;
            stored.width -= shift;
            stored.text.erase(0, indent);
        }
        if (HasBlankBetweenWords(stored.text)) stored.kind = pjBlock;
    }
    stream_.pages.back().texts.push_back({Font(), stored});
    if (ProcessMessages) ProcessMessages();
}

}  // namespace hk::printing
