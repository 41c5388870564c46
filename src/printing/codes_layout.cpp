#include "printing/codes_layout.h"

namespace hk::printing {

CodesHeading SplitHeading(const std::string& entry) {
    const long length = static_cast<long>(entry.size());
    const std::size_t found = entry.find('(');
    const long p = found == std::string::npos ? 0 : static_cast<long>(found) + 1;
    CodesHeading h;
    if (p >= 3) h.first = entry.substr(0, static_cast<std::size_t>(p - 2));
    const long count = length - p - 1;
    if (count > 0)
        h.second = entry.substr(static_cast<std::size_t>(p), static_cast<std::size_t>(count));
    return h;
}

void TDetailShell::RunRows(TBaseReport& report) {
    firstOnPage_ = true;
    const int hook = report.AddPageStartHook([this] { firstOnPage_ = true; });
    try {
        if (OnBodyBefore) OnBodyBefore(report, *this);
        if (OnBodyHeader) OnBodyHeader(report, *this);
        bool previousValid = false;
        for (;;) {
            bool valid = true;
            if (OnRowBefore) OnRowBefore(report, *this, valid);
            if (valid) {
                if (StartNewPage && previousValid) report.AdvancePage();
                previousValid = true;
                if (OnRowPrint) OnRowPrint(report, *this, valid);
                firstOnPage_ = false;
            } else {
                previousValid = false;
            }
            if (OnRowAfter) OnRowAfter(report, *this, valid);
            if (!valid) break;
        }
        if (OnBodyFooter) OnBodyFooter(report, *this);
        if (OnBodyAfter) OnBodyAfter(report, *this);
    } catch (...) {
        report.RemoveHook(hook);
        throw;
    }
    report.RemoveHook(hook);
}

CodesReport::CodesReport() {
    DetailShell1.OnRowAfter = [this](TBaseReport& R, TDetailShell& shell, bool& Valid) {
        DetailShell1RowAfter(R, shell, Valid);
    };
}

void CodesReport::DetailShell1RowAfter(TBaseReport&, TDetailShell&, bool& Valid) {
    ++RowCounter;
    Valid = RowCounter < static_cast<int>(ViewLines.size());
}

void CodesReport::ReportSystem1Print(TBaseReport& R) {
    const CodesHeading heading = SplitHeading(SelectedEntry);
    // Centred on the paper, not between the margins.
    const double c = (R.MarginLeft() + R.MarginRight() + (R.SectionRight() - R.SectionLeft())) / 2;

    R.ResetToFirstLine();
    R.SelectFont("Arial", 16.0);
    R.RealignLine();
    R.PrintCentred(heading.first, c);
    R.LineFeed();
    R.SelectFont("Arial", 14.0);
    R.RealignLine();
    R.PrintCentred(heading.second, c);

    CodesBuffer = std::make_unique<TMemoBuf>();
    struct FreeBuffer {
        std::unique_ptr<TMemoBuf>& buffer;
        ~FreeBuffer() { buffer.reset(); }
    } freeOnExit{CodesBuffer};

    std::string saved;
    for (const std::string& line : ViewLines) saved += line + "\r\n";
    CodesBuffer->LoadText(saved);
    RowCounter = 0;
    CodesBuffer->Justification = pjLeft;

    R.LineFeed();
    R.LineFeed();
    CodesBuffer->PrintStart = R.SectionLeft();
    CodesBuffer->PrintEnd = R.SectionRight();
    if (FixedPitch) {
        R.SelectFont("Courier New", 10.0);
        R.SetFontPitch(fpFixed);
    } else {
        R.SelectFont("Arial", 12.0);
        R.SetFontPitch(fpVariable);
    }
    R.RealignLine();

    while (CodesBuffer->ReadPosition() < CodesBuffer->TextLength()) {
        R.UseSingleColumn();
        int n = R.LinesRemaining();
        if (n <= 0) {
            // The pen is already below the section: a count of 0 would print
            // the whole rest off the page. Start a page, and on a page that
            // holds not even one line print one anyway so the text advances.
            if (R.LineNumber() > 1) {
                R.AdvancePage();
                continue;
            }
            n = 1;
        }
        R.PrintMemoLines(*CodesBuffer, n, false);
        if (CodesBuffer->ReadPosition() != CodesBuffer->TextLength()) R.AdvancePage();
    }
    CodesBuffer.reset();

    DetailShell1.RunRows(R);
}

}  // namespace hk::printing
