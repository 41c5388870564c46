#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <cstdlib>
#include <string>
#include <vector>

namespace hk::printing::testing {

// The text of a PDF as pdftotext reads it, and its page count.
inline QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline int PdfPages(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return -1;
}

// One page of a PDF rendered in grey at 40 dpi.
inline QImage PdfPageImage(const QString& path, int page, const QString& prefix) {
    QProcess p;
    const QString n = QString::number(page);
    p.start(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-gray"),
             QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-f"), n,
             QStringLiteral("-l"), n, path, prefix + n});
    p.waitForFinished(60000);
    return QImage(prefix + n + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

// The share of pixels whose grey differs clearly between two same-sized images.
inline double DifferingShare(const QImage& a, const QImage& b) {
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96) ++differing;
    return static_cast<double>(differing) / (a.width() * a.height());
}

inline double InkShare(const QImage& a) {
    long ink = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qGray(a.pixel(x, y)) < 128) ++ink;
    return static_cast<double>(ink) / (a.width() * a.height());
}

// The PDF that the cups-pdf queue wrote for the job with this document name
// (it names the file after it), once it is complete; empty when none came
// within 90 seconds. cups-pdf writes into the user's PDF folder or, for
// anonymous jobs, its spool.
inline QString WaitForCupsPdf(const QString& title) {
    const QStringList folders = {QDir::homePath() + QStringLiteral("/PDF"),
                                 QStringLiteral("/root/PDF"),
                                 QStringLiteral("/var/spool/cups-pdf/ANONYMOUS")};
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 90000) {
        for (const QString& folder : folders)
            for (const QFileInfo& fi :
                 QDir(folder).entryInfoList({title + QStringLiteral("*.pdf")}, QDir::Files))
                if (PdfPages(fi.absoluteFilePath()) > 0) return fi.absoluteFilePath();
        QThread::msleep(250);
    }
    return {};
}

// Lines of a game's codes text, numbered so that a lost or doubled line shows.
inline std::vector<std::string> CodesLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("Code line " + std::to_string(i) + " IDKFA all keys");
    return lines;
}

}  // namespace hk::printing::testing
