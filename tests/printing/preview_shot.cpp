// Opens the print preview as the print button does and keeps it open for the
// given milliseconds, for tests/printing/preview_screenshot.sh. Without a text
// file it shows a made-up three-page game; with one (UTF-8, as in data/sample)
// that game's text, TABs expanded as the codes view does, in the given display
// mode ("1" fixed pitch). A fifth argument prints the pages from the preview
// before it closes: into that PDF file, or "-" to the default printer.
//
//   printing_preview_shot MS [TEXTFILE MODE "TITLE (SYSTEM)" [PDF|-]]
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <string>
#include <vector>

#include "database/codes_text.h"
#include "printing/codes_printout.h"
#include "printing/preview_form.h"
#include "printing/printers.h"
#include "printing/report_system.h"
#include "toolkit/codepage.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int openMs = argc > 1 ? std::stoi(argv[1]) : 4000;
    std::vector<std::string> lines;
    std::string mode = "1", entry = "Space Race (PC)";
    if (argc > 4) {
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::ReadOnly)) return 2;
        const std::string text = hk::toolkit::utf8ToCp1251(file.readAll().toStdString());
        for (const std::string& line : hk::database::SplitLines(std::string_view(text)))
            lines.push_back(hk::database::ExpandTabs(line));
        mode = argv[3];
        entry = hk::toolkit::utf8ToCp1251(argv[4]);
    } else {
        lines.push_back(hk::toolkit::toCp1251(QStringLiteral("Коды вводятся во время игры:")));
        lines.push_back("");
        for (int i = 1; i <= 150; ++i)
            lines.push_back("Level " + std::to_string(i) +
                            "    IDDQD - god mode, IDKFA - all keys");
    }
    const QString printTo = argc > 5 ? QString::fromLocal8Bit(argv[5]) : QString();
    hk::printing::CodesPrintout printout(nullptr);
    hk::printing::TReportSystem& rs = printout.ReportSystem1();
    if (hk::printing::PrinterListEmpty()) rs.OutputFileName = QStringLiteral("/dev/null");
    rs.OnPreviewShow = [openMs, printTo, &rs](hk::printing::TKxPreviewForm& form) {
        QTimer::singleShot(openMs, &form, [&form, &rs, printTo] {
            if (!printTo.isEmpty()) {
                rs.OutputFileName = printTo == QLatin1String("-") ? QString() : printTo;
                form.PrintClick();
            }
            form.accept();
        });
    };
    printout.CoolBitmapButton9Click(0, entry, mode, lines);
    return 0;
}
