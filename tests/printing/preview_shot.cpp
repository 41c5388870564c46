// Opens the print preview of a three-page game as the print button does and
// keeps it open for the given milliseconds, for tests/printing/preview_screenshot.sh.
#include <QApplication>
#include <QTimer>
#include <string>
#include <vector>

#include "printing/codes_printout.h"
#include "printing/preview_form.h"
#include "printing/printers.h"
#include "printing/report_system.h"
#include "toolkit/codepage.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int openMs = argc > 1 ? std::stoi(argv[1]) : 4000;
    std::vector<std::string> lines;
    lines.push_back(hk::toolkit::toCp1251(QStringLiteral("Коды вводятся во время игры:")));
    lines.push_back("");
    for (int i = 1; i <= 150; ++i)
        lines.push_back("Level " + std::to_string(i) + "    IDDQD - god mode, IDKFA - all keys");
    hk::printing::CodesPrintout printout(nullptr);
    hk::printing::TReportSystem& rs = printout.ReportSystem1();
    if (hk::printing::PrinterListEmpty()) rs.OutputFileName = QStringLiteral("/dev/null");
    rs.OnPreviewShow = [openMs](hk::printing::TKxPreviewForm& form) {
        QTimer::singleShot(openMs, &form, &QDialog::accept);
    };
    printout.CoolBitmapButton9Click(0, "Space Race (PC)", "1", lines);
    return 0;
}
