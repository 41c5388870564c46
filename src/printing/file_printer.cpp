#include "printing/file_printer.h"

namespace hk::printing {

void TFilePrinter::ReplayPage(const RecordedPage& page) {
    for (const RecordedText& t : page.texts) {
        SetFont(t.font);
        UpdateFont();
        OutputText(t.run);
    }
}

void TFilePrinter::PrintStream(const PageStream& stream) {
    SetUnits(unInch);
    OnPrint = [this, &stream](TBaseReport&) {
        for (std::size_t i = 0; i < stream.pages.size(); ++i) {
            if (i) AdvancePage();
            ReplayPage(stream.pages[i]);
        }
    };
    Execute();
    OnPrint = nullptr;
}

bool TFilePrinter::DrawPage(const PageStream& stream, int pageNumber) {
    if (pageNumber < 1 || pageNumber > static_cast<int>(stream.pages.size())) return false;
    SetUnits(unInch);
    OnPrint = [this, &stream, pageNumber](TBaseReport&) {
        ReplayPage(stream.pages[static_cast<std::size_t>(pageNumber - 1)]);
    };
    Execute();
    OnPrint = nullptr;
    return true;
}

}  // namespace hk::printing
