#include "printing/codes_printout.h"

#include <QMessageBox>
#include <QWidget>
#include <exception>

#include "printing/codes_layout.h"
#include "printing/printers.h"
#include "printing/report_system.h"
#include "toolkit/codepage.h"

namespace hk::printing {

struct CodesPrintout::State {
    explicit State(QWidget* o) : owner(o), ReportSystem1(o) {}
    QWidget* owner;
    TReportSystem ReportSystem1;
    CodesReport report;
    bool running = false;
};

CodesPrintout::CodesPrintout(QWidget* owner) : state_(std::make_unique<State>(owner)) {
    TReportSystem& rs = state_->ReportSystem1;
    rs.TitleSetup = QStringLiteral("Установки печати");
    rs.TitleStatus = QStringLiteral("Статус печати");
    rs.TitlePreview = QStringLiteral("Предпросмотр печати");
    rs.SystemSetups = {ssAllowDestPreview, ssAllowDestPrinter};
    rs.SystemFiler.StatusFormat = hk::toolkit::toCp1251(QStringLiteral("Генерирация страницы %p"));
    rs.SystemFiler.StreamMode = smMemory;
    rs.SystemFiler.AccuracyMethod = amPositioning;
    rs.SystemPreview.Maximized = true;
    rs.SystemPreview.RulerType = rtBothCm;
    rs.SystemPreview.ZoomFactor = 100;
    rs.SystemPrinter.MarginLeft = 15;
    rs.SystemPrinter.MarginRight = 10;
    rs.SystemPrinter.MarginTop = 10;
    rs.SystemPrinter.MarginBottom = 15;
    rs.SystemPrinter.StatusFormat = hk::toolkit::toCp1251(QStringLiteral("Печать страницы %p"));
    rs.SystemPrinter.Title = hk::toolkit::toCp1251(QStringLiteral("Печать"));
    rs.SystemPrinter.Units = unMM;
    rs.SystemPrinter.UnitsFactor = 25.4;
    rs.OnPrint = [this](TBaseReport& R) { state_->report.ReportSystem1Print(R); };
}

CodesPrintout::~CodesPrintout() = default;

TReportSystem& CodesPrintout::ReportSystem1() {
    return state_->ReportSystem1;
}

int CodesPrintout::RowCounter() const {
    return state_->report.RowCounter;
}

void CodesPrintout::CoolBitmapButton9Click(int itemIndex, const std::string& itemTextCp1251,
                                           const std::string& displayModeCp1251,
                                           const std::vector<std::string>& viewLinesCp1251) {
    // Nothing to head the print-out with when no game is selected. While a
    // run records, the status window leaves the main window usable; a second
    // press then would rebuild the pages under the running body writer.
    if (itemIndex < 0 || state_->running) return;
    if (state_->ReportSystem1.OutputFileName.isEmpty() && state_->ReportSystem1.PrintersMissing()) {
        QMessageBox::critical(state_->owner, QStringLiteral("Ошибка"),
                              QStringLiteral("В системе не установлено ни одного принтера"),
                              QMessageBox::Ok);
        return;
    }
    CodesReport& report = state_->report;
    report.SelectedEntry = itemTextCp1251;
    report.FixedPitch = IsFixedPitchMode(displayModeCp1251);
    report.ViewLines = viewLinesCp1251;
    state_->running = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{state_->running};
    try {
        state_->ReportSystem1.RunReport();
    } catch (const std::exception& e) {
        // What the application's standard error box would show; the program carries on.
        QMessageBox::critical(state_->owner, QStringLiteral("Error"),
                              hk::toolkit::fromCp1251(e.what()));
    }
    report.ViewLines.clear();
    if (OnClosed) OnClosed();
}

}  // namespace hk::printing
