#include <gtest/gtest.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "gui_support.h"
#include "printing/codes_printout.h"
#include "printing/preview_form.h"
#include "printing/printers.h"
#include "printing/report_system.h"
#include "printing/status_form.h"
#include "toolkit/codepage.h"

using namespace hk::printing;
using hk::printing::testing::CodesLines;
using hk::printing::testing::DifferingShare;
using hk::printing::testing::InkShare;
using hk::printing::testing::PdfPageImage;
using hk::printing::testing::PdfPages;
using hk::printing::testing::PdfText;
using hk::printing::testing::WaitForCupsPdf;

TEST(CodesPrintoutRun, PreviewPrintsHeadingAndBodyIntoAPdf) {
    QTemporaryDir dir;
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    rs.OutputFileName = dir.filePath(QStringLiteral("codes.pdf"));
    int previews = 0, closed = 0;
    int pagesInPreview = 0;
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        ++previews;
        pagesInPreview = form.PageCount();
        form.PrintClick();
        form.ToolButton(TKxPreviewForm::DoneButton)->click();
    };
    printout.OnClosed = [&] { ++closed; };
    std::vector<std::string> lines = CodesLines(150);
    lines.push_back(hk::toolkit::toCp1251(QStringLiteral("Бессмертие: ввести ГОД")));
    printout.CoolBitmapButton9Click(3, "Space Race (PC)", "1", lines);
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(rs.PrintJobCount(), 1);
    EXPECT_EQ(printout.RowCounter(), 151);

    const QString text = PdfText(rs.OutputFileName);
    const QStringList got = text.split('\n');
    ASSERT_FALSE(text.isEmpty()) << "pdftotext read nothing";
    EXPECT_EQ(got.value(0).trimmed(), QStringLiteral("Space Race"));
    EXPECT_TRUE(text.contains(QStringLiteral("PC")));
    for (int i : {1, 57, 58, 59, 60, 150})
        EXPECT_TRUE(text.contains(QStringLiteral("Code line %1 IDKFA all keys").arg(i))) << i;
    EXPECT_TRUE(text.contains(QStringLiteral("Бессмертие: ввести ГОД")));
    // Courier 10 on A4 with these margins: 59 lines below the heading, 64 after.
    EXPECT_EQ(PdfPages(rs.OutputFileName), 3);
    EXPECT_EQ(pagesInPreview, 3);
    EXPECT_EQ(text.count(QStringLiteral("Space Race")), 1);  // no heading on later pages
}

TEST(CodesPrintoutRun, PrintingTwiceReplaysTheSamePages) {
    QTemporaryDir dir;
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    const QString first = dir.filePath(QStringLiteral("a.pdf"));
    const QString second = dir.filePath(QStringLiteral("b.pdf"));
    rs.OutputFileName = first;
    int bodies = 0;
    rs.OnBeforePrint = [&](TBaseReport&) { ++bodies; };
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        form.PrintClick();
        rs.OutputFileName = second;
        form.PrintClick();
        form.accept();
    };
    printout.CoolBitmapButton9Click(0, "Doom (PC)", "0", CodesLines(10));
    EXPECT_EQ(bodies, 1);  // recorded once, printed twice
    EXPECT_EQ(rs.PrintJobCount(), 2);
    const QString a = PdfText(first), b = PdfText(second);
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a, b);
}

TEST(CodesPrintoutRun, StatusWindowCountsPagesAndCancelOrEscLeavesNoPreview) {
    for (bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Esc" : "Cancel button");
        QTemporaryDir dir;
        CodesPrintout printout(nullptr);
        TReportSystem& rs = printout.ReportSystem1();
        rs.OutputFileName = dir.filePath(QStringLiteral("never.pdf"));
        TKxStatusForm* status = nullptr;
        QStringList seen;
        int previews = 0, closed = 0;
        rs.OnStatusShow = [&](TKxStatusForm& s) {
            status = &s;
            EXPECT_EQ(s.windowTitle(), QStringLiteral("Статус печати"));
        };
        rs.OnNewPage = [&](TBaseReport& r) {
            seen << status->Status();
            if (r.PageNumber() != 2) return;
            if (byEscape) {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QWidget* focus = status->focusWidget();
                QApplication::sendEvent(focus ? focus : status, &esc);
            } else {
                status->CancelButton()->click();
            }
        };
        rs.OnPreviewShow = [&](TKxPreviewForm& form) {
            ++previews;
            form.accept();
        };
        printout.OnClosed = [&] { ++closed; };
        printout.CoolBitmapButton9Click(1, "Quake (PC)", "1", CodesLines(400));
        EXPECT_EQ(seen, (QStringList{QStringLiteral("Генерирация страницы 1"),
                                     QStringLiteral("Генерирация страницы 2")}));
        EXPECT_TRUE(rs.Cancelled());
        EXPECT_EQ(previews, 0);
        EXPECT_EQ(closed, 1);
        EXPECT_FALSE(QFileInfo::exists(rs.OutputFileName));
    }
}

TEST(CodesPrintoutRun, PressDuringARunIsIgnored) {
    QTemporaryDir dir;
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    rs.OutputFileName = dir.filePath(QStringLiteral("x.pdf"));
    int previews = 0, closed = 0, nested = 0;
    rs.OnNewPage = [&](TBaseReport&) {
        if (nested++ == 0) printout.CoolBitmapButton9Click(0, "Other (PC)", "0", CodesLines(5));
    };
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        ++previews;
        EXPECT_EQ(form.PageCount(), 3);
        form.accept();
    };
    printout.OnClosed = [&] { ++closed; };
    printout.CoolBitmapButton9Click(0, "Doom (PC)", "1", CodesLines(150));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(printout.RowCounter(), 150);
}

namespace {

// Closes the next message box when it shows and keeps its text.
void CloseNextMessageBox(QString* text) {
    QTimer::singleShot(0, [text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        *text = box->text();
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
}

}  // namespace

TEST(CodesPrintoutRun, WithoutPrintersTheButtonAndThePreviewSaySo) {
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    bool missing = true;
    rs.PrintersMissing = [&] { return missing; };
    int previews = 0, closed = 0;
    QString message;
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        ++previews;
        missing = true;  // the printer went away while the preview was open
        CloseNextMessageBox(&message);
        form.PrintClick();
        form.accept();
    };
    printout.OnClosed = [&] { ++closed; };
    CloseNextMessageBox(&message);
    printout.CoolBitmapButton9Click(0, "Doom (PC)", "1", CodesLines(3));
    EXPECT_EQ(message, QStringLiteral("В системе не установлено ни одного принтера"));
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(closed, 0);

    missing = false;
    message.clear();
    printout.CoolBitmapButton9Click(0, "Doom (PC)", "1", CodesLines(3));
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(message, QStringLiteral("No printers are defined, aborting print job."));
    EXPECT_EQ(rs.PrintJobCount(), 0);
}

TEST(CodesPrintoutRun, RefusedJobShowsAnErrorBoxAndReturnsToThePreview) {
    QTemporaryDir dir;
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    rs.OutputFileName = dir.filePath(QStringLiteral("no such folder/codes.pdf"));
    QString message;
    bool stillOpen = false;
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        CloseNextMessageBox(&message);
        form.PrintClick();
        stillOpen = form.isVisible();
        rs.OutputFileName = dir.filePath(QStringLiteral("codes.pdf"));  // the user tries again
        form.PrintClick();
        form.accept();
    };
    printout.CoolBitmapButton9Click(0, "Doom (PC)", "1", CodesLines(3));
    EXPECT_EQ(message, QStringLiteral("The printer did not accept the print job."));
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(rs.PrintJobCount(), 1);
    EXPECT_TRUE(PdfText(rs.OutputFileName).contains(QStringLiteral("Code line 3")));
}

TEST(CodesPrintoutRun, NoSelectedGameDoesNothing) {
    CodesPrintout printout(nullptr);
    int previews = 0, closed = 0;
    printout.ReportSystem1().OnPreviewShow = [&](TKxPreviewForm&) { ++previews; };
    printout.OnClosed = [&] { ++closed; };
    printout.CoolBitmapButton9Click(-1, "", "", CodesLines(3));
    EXPECT_EQ(previews, 0);
    EXPECT_EQ(closed, 0);
}

namespace {

// Jobs through the system's default printer need CUPS with the cups-pdf queue
// that scripts/services.sh sets up.
void RequirePrinter() {
    if (!PrinterListEmpty()) return;
    if (qEnvironmentVariable("HK_ALLOW_NO_CUPS") == QLatin1String("1"))
        GTEST_SKIP() << "no printer installed and HK_ALLOW_NO_CUPS=1";
    FAIL() << "No printer is installed: source scripts/services.sh (as root) to start CUPS "
              "with the cups-pdf queue, or set HK_ALLOW_NO_CUPS=1 to skip this test.";
}

// A document name of its own, by which the cups-pdf output is found.
QString JobTitle(const QString& what) {
    return QStringLiteral("hk-test-%1-%2").arg(what).arg(QCoreApplication::applicationPid());
}

}  // namespace

// A real job through the system's default printer. On the way CUPS turns the
// job into PostScript and cups-pdf back into PDF, which keeps the drawing but
// not the fonts' character maps, so the text is read from the same recorded
// pages printed into a PDF file and the CUPS output must look the same page
// by page.
TEST(CodesPrintoutRun, PrintJobThroughCupsReachesThePdfPrinter) {
    RequirePrinter();
    if (IsSkipped() || HasFatalFailure()) return;
    QTemporaryDir dir;
    const QString twin = dir.filePath(QStringLiteral("twin.pdf"));
    CodesPrintout printout(nullptr);
    TReportSystem& rs = printout.ReportSystem1();
    const QString title = JobTitle(QStringLiteral("codes"));
    rs.SystemPrinter.Title = title.toStdString();
    int previews = 0;
    rs.OnPreviewShow = [&](TKxPreviewForm& form) {
        ++previews;
        form.ToolButton(TKxPreviewForm::PrintButton)->click();  // to the default printer
        rs.OutputFileName = twin;
        form.PrintClick();
        form.ToolButton(TKxPreviewForm::DoneButton)->click();
    };
    printout.CoolBitmapButton9Click(2, "Space Race (PC)", "1", CodesLines(70));
    ASSERT_EQ(previews, 1);
    ASSERT_EQ(rs.PrintJobCount(), 2);

    const QString found = WaitForCupsPdf(title);
    ASSERT_FALSE(found.isEmpty()) << "no PDF named " << title.toStdString()
                                  << "* within 90 s; is the cups-pdf queue the default?";
    EXPECT_EQ(PdfPages(found), 2);
    const QString text = PdfText(twin);
    EXPECT_EQ(text.split('\n').value(0).trimmed(), QStringLiteral("Space Race"));
    EXPECT_TRUE(text.contains(QStringLiteral("PC")));
    EXPECT_TRUE(text.contains(QStringLiteral("Code line 1 IDKFA all keys")));
    EXPECT_TRUE(text.contains(QStringLiteral("Code line 70 IDKFA all keys")));
    EXPECT_EQ(PdfPages(twin), 2);
    for (int page = 1; page <= 2; ++page) {
        const QImage viaCups = PdfPageImage(found, page, dir.path() + QStringLiteral("/cups"));
        const QImage direct = PdfPageImage(twin, page, dir.path() + QStringLiteral("/twin"));
        ASSERT_FALSE(viaCups.isNull());
        ASSERT_EQ(viaCups.size(), direct.size());
        // Misplaced or wrongly substituted glyphs differ by several per cent;
        // the same page through both routes by a few hundredths of one.
        EXPECT_LT(DifferingShare(viaCups, direct), 0.004) << "page " << page;
        EXPECT_GT(InkShare(viaCups), 0.002) << "page " << page << " is blank";
    }
    QFile::remove(found);
}

namespace {

// The column at which the word starts in the pdftotext -layout line that
// holds it; -1 when no line does.
int Column(const QStringList& lines, const QString& word) {
    for (const QString& line : lines) {
        const qsizetype at = line.indexOf(word);
        if (at >= 0) return static_cast<int>(at);
    }
    return -1;
}

}  // namespace

// A game's TAB table as the codes view holds it (each TAB expanded to the
// next 8-column stop), printed through the default printer and into a PDF
// file in both fonts. Every indented line starts at its indent, by the width
// of its blanks, and no word is letter-spaced. The words and their columns are
// read from the PDF file, which the CUPS print-out must look like.
TEST(CodesPrintoutRun, IndentedTablesPrintIndented) {
    RequirePrinter();
    if (IsSkipped() || HasFatalFailure()) return;
    const std::vector<std::string> lines = {
        "Cheats:",      "        IDKFA", "        IDDQD   god mode",
        "Level   Code", "1       XYZZY", "        PLUGH"};
    for (const bool fixed : {true, false}) {
        SCOPED_TRACE(fixed ? "Courier New 10" : "Arial 12");
        QTemporaryDir dir;
        const QString twin = dir.filePath(QStringLiteral("twin.pdf"));
        CodesPrintout printout(nullptr);
        TReportSystem& rs = printout.ReportSystem1();
        const QString title = JobTitle(fixed ? QStringLiteral("fixed") : QStringLiteral("prop"));
        rs.SystemPrinter.Title = title.toStdString();
        rs.OnPreviewShow = [&](TKxPreviewForm& form) {
            form.PrintClick();  // to the default printer
            rs.OutputFileName = twin;
            form.PrintClick();
            form.accept();
        };
        printout.CoolBitmapButton9Click(0, "Doom (PC)", fixed ? "1" : "0", lines);

        const QStringList text = PdfText(twin).split('\n');
        const int margin = Column(text, QStringLiteral("Cheats:"));
        const int indent = Column(text, QStringLiteral("IDKFA"));
        EXPECT_GT(indent, margin);
        EXPECT_EQ(Column(text, QStringLiteral("IDDQD")), indent);
        EXPECT_EQ(Column(text, QStringLiteral("PLUGH")), indent);
        EXPECT_GT(Column(text, QStringLiteral("god mode")), indent);
        if (fixed) {  // the table's columns line up
            EXPECT_EQ(Column(text, QStringLiteral("Code")), indent);
            EXPECT_EQ(Column(text, QStringLiteral("XYZZY")), indent);
        }

        const QString viaCups = WaitForCupsPdf(title);
        ASSERT_FALSE(viaCups.isEmpty()) << "no PDF named " << title.toStdString() << "*";
        const QImage page = PdfPageImage(viaCups, 1, dir.path() + QStringLiteral("/cups"));
        EXPECT_LT(DifferingShare(page, PdfPageImage(twin, 1, dir.path() + QStringLiteral("/twin"))),
                  0.004);
        QFile::remove(viaCups);
    }
}
