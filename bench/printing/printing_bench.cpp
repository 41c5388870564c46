// Goals: recording the print-out of a 1 MiB codes text (hundreds of pages)
// takes under 2 s; drawing one preview page at 100 % under 50 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>
#include <string>
#include <vector>

#include "printing/codes_layout.h"
#include "printing/preview_form.h"
#include "printing/qt_device.h"
#include "printing/report_filer.h"

using namespace hk::printing;

namespace {

// About 1 MiB of codes lines of mixed length, some wider than the page.
std::vector<std::string> MegabyteOfCodes() {
    std::vector<std::string> lines;
    std::size_t bytes = 0;
    for (int i = 0; bytes < (1u << 20); ++i) {
        std::string line = "Level " + std::to_string(i) + ": type IDDQD then IDKFA";
        if (i % 7 == 0) line += " and keep walking along the left wall until the red door opens";
        if (i % 11 == 0) line += std::string(130, 'X');
        if (i % 13 == 0) line.clear();
        bytes += line.size() + 2;
        lines.push_back(std::move(line));
    }
    return lines;
}

PageStream Record(const std::vector<std::string>& lines, bool fixed) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QtReportDevice measure(DeviceKind::Stream, QtReportDevice::PrinterGeometry(printer), &printer,
                           nullptr);
    PageStream pages;
    TReportFiler filer(measure, pages);
    filer.AccuracyMethod = amPositioning;
    filer.SetLineHeightMethod(lhmFont);
    filer.SetMarginBottom(15);
    filer.SetMarginLeft(15);
    filer.SetMarginRight(10);
    filer.SetMarginTop(10);
    filer.SetUnits(unMM);
    CodesReport codes;
    codes.SelectedEntry = "Space Race (PC)";
    codes.FixedPitch = fixed;
    codes.ViewLines = lines;
    filer.OnPrint = [&](TBaseReport& r) { codes.ReportSystem1Print(r); };
    // As in the program's run: the message loop turns once after each text.
    filer.ProcessMessages = [] { QCoreApplication::processEvents(); };
    filer.Execute();
    return pages;
}

void BM_RecordMegabytePrintout(benchmark::State& state) {
    const std::vector<std::string> lines = MegabyteOfCodes();
    std::size_t pages = 0;
    for (auto _ : state) pages = Record(lines, state.range(0) != 0).pages.size();
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_RecordMegabytePrintout)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_DrawPreviewPage(benchmark::State& state) {
    const PageStream pages = Record(MegabyteOfCodes(), true);
    TSystemPreview settings;
    settings.RulerType = rtBothCm;
    TKxPreviewForm form(nullptr, pages, settings, QStringLiteral("Preview"));
    int page = 1;
    for (auto _ : state) {
        QImage image = form.RenderPage(page, 100);
        benchmark::DoNotOptimize(image.bits());
        page = page % 50 + 1;
    }
}
BENCHMARK(BM_DrawPreviewPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
