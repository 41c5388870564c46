#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <set>

#include "printing/base_report.h"
#include "printing/page_stream.h"
#include "printing/report_settings.h"

class QPrinter;
class QWidget;

namespace hk::printing {

class TKxPreviewForm;
class TKxStatusForm;

// The report front object: records the body writer's pages while a status
// window shows progress, then shows them in the preview, which prints them.
class TReportSystem {
  public:
    explicit TReportSystem(QWidget* owner);
    ~TReportSystem();

    QString TitleSetup = QStringLiteral("Report Setup");
    QString TitleStatus = QStringLiteral("Report Status");
    QString TitlePreview = QStringLiteral("Report Preview");
    std::set<TSystemSetup> SystemSetups;
    std::set<TSystemOption> SystemOptions = {soShowStatus, soAllowPrintFromPreview, soPreviewModal};
    TReportDest DefaultDest = rdPreview;
    TSystemFiler SystemFiler;
    TSystemPreview SystemPreview;
    TSystemPrinter SystemPrinter;

    TBaseReport::Event OnPrint;
    std::function<bool(TBaseReport&)> OnPrintPage;
    TBaseReport::Event OnBeforePrint, OnAfterPrint, OnNewPage, OnNewColumn, OnPrintHeader,
        OnPrintFooter, OnEndOfSection;
    std::function<void(TKxPreviewForm&)> OnPreviewShow;
    std::function<void(TKxStatusForm&)> OnStatusShow;

    // Where pages go. Empty: the system's default printer. An output file
    // name sends them into that PDF file instead (tools and tests use it).
    QString PrinterName;
    QString OutputFileName;
    // Whether the system lists no printer; the system's answer unless replaced.
    std::function<bool()> PrintersMissing;

    void RunReport();

    // Replays recorded pages to the printer as one job. Shows an error box
    // (over boxParent, else the owner) and returns false when there is no
    // printer or the printer refuses the job.
    bool PrintPages(const PageStream& pages, QWidget* boxParent = nullptr);

    // How many print jobs this object started (each preview Print is one).
    int PrintJobCount() const { return printJobs_; }
    bool Cancelled() const { return cancelled_; }

  private:
    std::unique_ptr<QPrinter> MakePrinter() const;
    void CopyEvents(TBaseReport& report) const;

    QWidget* owner_;
    TReportDest dest_ = rdPreview;
    bool cancelled_ = false;
    int printJobs_ = 0;
};

}  // namespace hk::printing
