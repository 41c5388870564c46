#include "printing/report_system.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "printing/file_printer.h"
#include "printing/preview_form.h"
#include "printing/printers.h"
#include "printing/qt_device.h"
#include "printing/report_filer.h"
#include "printing/status_form.h"
#include "toolkit/codepage.h"

namespace hk::printing {

namespace {

const char* const kNoPrinters = "No printers are defined, aborting print job.";
const char* const kJobRefused = "The printer did not accept the print job.";

// A4 laid out for the screen, for a run on a system without printers.
constexpr double kA4Width = 210 / 25.4;
constexpr double kA4Height = 297 / 25.4;

void NameDevice(QtReportDevice& device, const QPrinter& printer, bool toFile) {
    const std::string name =
        hk::toolkit::toCp1251(toFile ? QStringLiteral("PDF") : printer.printerName());
    const std::string port =
        hk::toolkit::toCp1251(toFile ? printer.outputFileName() : printer.printerName());
    device.SetNames(name, name, port);
}

}  // namespace

TReportSystem::TReportSystem(QWidget* owner) : PrintersMissing(&PrinterListEmpty), owner_(owner) {}

TReportSystem::~TReportSystem() = default;

std::unique_ptr<QPrinter> TReportSystem::MakePrinter() const {
    std::unique_ptr<QPrinter> printer;
    if (!OutputFileName.isEmpty()) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(OutputFileName);
        printer->setPageSize(QPageSize(QPageSize::A4));
    } else {
        const QPrinterInfo info = PrinterName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                                        : QPrinterInfo::printerInfo(PrinterName);
        if (info.isNull()) {
            // No default named: the first installed printer serves.
            const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
            if (all.isEmpty()) return nullptr;
            printer = std::make_unique<QPrinter>(all.front(), QPrinter::HighResolution);
        } else {
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        }
    }
    printer->setPageOrientation(SystemPrinter.Orientation == poLandScape ? QPageLayout::Landscape
                                                                         : QPageLayout::Portrait);
    printer->setCopyCount(1);
    printer->setDocName(hk::toolkit::fromCp1251(SystemPrinter.Title));
    return printer;
}

void TReportSystem::CopyEvents(TBaseReport& r) const {
    r.OnPrint = OnPrint;
    r.OnPrintPage = OnPrintPage;
    r.OnBeforePrint = OnBeforePrint;
    r.OnAfterPrint = OnAfterPrint;
    r.OnNewPage = OnNewPage;
    r.OnNewColumn = OnNewColumn;
    r.OnPrintHeader = OnPrintHeader;
    r.OnPrintFooter = OnPrintFooter;
    r.OnEndOfSection = OnEndOfSection;
}

void TReportSystem::RunReport() {
    // Without ssAllowSetup there is no setup window: the destination is the default.
    dest_ = DefaultDest;
    cancelled_ = false;
    const bool record = dest_ == rdPreview || SystemOptions.count(soUseFiler) > 0;
    if (!record) return;  // direct printing is not part of this program

    PageStream pages;
    {
        std::unique_ptr<TKxStatusForm> status;
        if (SystemOptions.count(soShowStatus)) {
            status = std::make_unique<TKxStatusForm>(owner_, TitleStatus);
            status->show();
            if (OnStatusShow) OnStatusShow(*status);
        }
        std::unique_ptr<QPrinter> printer = MakePrinter();
        std::unique_ptr<QtReportDevice> measure;
        if (printer) {
            measure = std::make_unique<QtReportDevice>(DeviceKind::Stream,
                                                       QtReportDevice::PrinterGeometry(*printer),
                                                       printer.get(), nullptr);
            NameDevice(*measure, *printer, !OutputFileName.isEmpty());
        } else {
            measure = std::make_unique<QtReportDevice>(
                DeviceKind::Stream, QtReportDevice::ScreenGeometry(kA4Width, kA4Height, 96, 0, 0),
                nullptr, nullptr);
            measure->SetNames("Preview Only", "Preview Only", "Preview Only");
        }
        TReportFiler filer(*measure, pages);
        SystemPrinter.AssignTo(filer);
        SystemFiler.AssignTo(filer);
        CopyEvents(filer);
        if (status) {
            filer.StatusLabel = [s = status.get()](const std::string& text) {
                s->SetStatus(hk::toolkit::fromCp1251(text));
            };
            status->OnCancel = [&filer] { filer.Abort(); };
        }
        filer.ProcessMessages = [] { QCoreApplication::processEvents(); };
        filer.Execute();
        cancelled_ = filer.Aborted();
    }
    if (cancelled_ || dest_ != rdPreview) return;

    TKxPreviewForm preview(owner_, pages, SystemPreview, TitlePreview);
    if (SystemOptions.count(soAllowPrintFromPreview))
        preview.OnPrint = [this, &pages, &preview] { PrintPages(pages, &preview); };
    preview.OnPreviewShow = OnPreviewShow;
    if (SystemOptions.count(soPreviewModal)) {
        preview.exec();
    } else {
        preview.show();
        while (preview.isVisible()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

bool TReportSystem::PrintPages(const PageStream& pages, QWidget* boxParent) {
    QWidget* parent = boxParent ? boxParent : owner_;
    auto fail = [parent](const char* message) {
        QMessageBox::critical(parent, QStringLiteral("Error"), QString::fromLatin1(message));
        return false;
    };
    if (OutputFileName.isEmpty() && PrintersMissing()) return fail(kNoPrinters);
    std::unique_ptr<QPrinter> printer = MakePrinter();
    if (!printer) return fail(kNoPrinters);
    // A printer that refuses the job (a queue gone, an output file that
    // cannot be written) leaves the user in the preview to try again.
    QPainter painter;
    if (!painter.begin(printer.get())) return fail(kJobRefused);
    QtReportDevice device(DeviceKind::Printer, QtReportDevice::PrinterGeometry(*printer),
                          printer.get(), &painter);
    NameDevice(device, *printer, !OutputFileName.isEmpty());
    device.OnNewPage = [&printer] { printer->newPage(); };
    TFilePrinter player(device);
    player.Title = SystemPrinter.Title;
    player.PrintStream(pages);
    if (player.Aborted()) printer->abort();
    painter.end();
    ++printJobs_;
    return true;
}

}  // namespace hk::printing
