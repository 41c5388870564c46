// The web banner against pages chosen by whoever sits on the network path: no page
// may hold the user-interface thread, crash the program, fill its memory or make it
// read a local file.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest/QTest>

#include "loopback_http.h"
#include "toolkit/banner_page.h"
#include "toolkit/web_browser.h"

using hk::testing::LoopbackHttp;
using hk::toolkit::PageBudget;
using hk::toolkit::WebBrowser;

namespace {

// The longest the user-interface thread went without serving a 10 ms timer.
class StallWatch {
  public:
    StallWatch() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        clock_.start();
        timer_.start();
    }
    qint64 WorstMs() {
        Tick();
        return worst_;
    }

  private:
    void Tick() {
        const qint64 now = clock_.elapsed();
        worst_ = std::max(worst_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
};

// Serves `body`, lets the browser load and paint it, and returns the longest stall.
qint64 Show(WebBrowser& browser, LoopbackHttp& server, const QByteArray& path,
            const QByteArray& body) {
    server.Set(path, {200, "text/html", body});
    QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
    StallWatch watch;
    browser.Navigate(server.Url(QString::fromLatin1(path)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.count() == 1 && browser.PicturesLoading() == 0; },
                                20000));
    browser.grab();  // lays the page out and paints it
    return watch.WorstMs();
}

QByteArray Repeat(const QByteArray& unit, int times) {
    return unit.repeated(times);
}

QByteArray Png(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

void ExpectPeakMemoryBelow256MiB() {
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's shadow and quarantine are no page's doing
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss, 256 * 1024) << "peak KiB";
#endif
}

constexpr qint64 kMaxStallMs = 500;

}  // namespace

TEST(BannerPage, KeepsWhatABannerNeedsWithEverySizeClamped) {
    const auto page = hk::toolkit::fitPageToBanner(
        u"<html><head><title>t</title><script>alert('<p>')</script></head>"
        u"<body bgcolor=#000 background='file:///tmp/x.png'><table width=900 cellpadding=99999>"
        u"<tr><td colspan=1000 style='margin-bottom:30000000px;color:red;font-size:9999px'>"
        u"<a href='go.html?a=1&amp;b=2'><img src='b.png' width=468 height=60000 onclick=x></a>"
        u"<img src='/etc/passwd'><img src='file:///etc/passwd'><img src='data:image/png,x'>"
        u"<p>a &amp; b &bogus<p>c</table>",
        QUrl("http://vendor.example/ads/page.html"));
    ASSERT_TRUE(page.refusal.isEmpty()) << page.refusal.toStdString();
    EXPECT_EQ(page.html,
              "<html><body bgcolor=\"#000\"><table width=\"512\" cellpadding=\"16\"><tr>"
              "<td colspan=\"4\" style=\"color:red;font-size:48px;\">"
              "<a href=\"go.html?a=1&amp;b=2\"><img src=\"http://vendor.example/ads/b.png\" "
              "width=\"468\" height=\"512\"></a>"
              "<img src=\"http://vendor.example/etc/passwd\"><p>a &amp; b &amp;bogus</p><p>c</p>"
              "</td></tr></table></body></html>");
    EXPECT_EQ(page.pictures, (QList<QUrl>{QUrl("http://vendor.example/ads/b.png"),
                                          QUrl("http://vendor.example/etc/passwd")}));
}

TEST(HostilePage, NoPageHoldsTheLayoutAndOverBudgetOnesBecomeTheErrorPage) {
    LoopbackHttp server;
    WebBrowser browser;
    browser.resize(505, 89);
    const auto nestedTables = [](int levels) {
        return Repeat("<table><tr><td>", levels) + "x" + Repeat("</td></tr></table>", levels);
    };
    const struct {
        QByteArray path, body;
        bool shown;
    } pages[] = {
        {"/margin", "<p style=\"margin-bottom:30000000px\">a</p><p>b</p>", true},
        {"/tables3", nestedTables(3), true},
        {"/tables4", nestedTables(4), false},
        {"/tables21", nestedTables(21), false},
        {"/tables3000", nestedTables(3000), false},
        {"/divs", Repeat("<div>", 100000) + "x", false},
        {"/lists", Repeat("<ul><li>", 8000) + "x", false},
        {"/pictures", "<p>" + Repeat("<img src=\"p.png\">", 20000), false},
        {"/grid", "<table>" + Repeat("<tr>" + Repeat("<td>x", 400), 400) + "</table>", false},
        {"/row", "<table><tr>" + Repeat("<td>", 200000) + "</table>", false},
        {"/tall", Repeat("<p style=\"font-size:1000px\">text</p>", 9000), false},
        {"/text", Repeat("banner ", 20000), false},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.path.toStdString());
        EXPECT_LT(Show(browser, server, page.path, page.body), kMaxStallMs);
        EXPECT_EQ(browser.LocationURL().startsWith("res://"), !page.shown);
        if (page.shown) {
            EXPECT_LT(browser.findChild<QTextBrowser*>()->document()->size().height(), 2000);
        }
    }
    ExpectPeakMemoryBelow256MiB();
}

TEST(HostilePage, NoLocalFileIsOpenedForAPage) {
    QTemporaryDir dir;
    const QString root = dir.path();
    QImage red(468, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(root + "/secret.png"));
    QFile css(root + "/secret.css");
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("body { background-color: #ff0000 } p { background-color: #ff0000 }");
    css.close();
    ASSERT_EQ(mkfifo(QFile::encodeName(root + "/fifo").constData(), 0600), 0);
    const QByteArray file = "file://" + QFile::encodeName(root);
    const QByteArray path = QFile::encodeName(root);
    const QByteArray pages[] = {
        "<img src=\"" + file + "/secret.png\">",
        "<img src=\"" + path + "/secret.png\">",
        "<img src=\"secret.png\">",
        "<body background=\"" + file + "/secret.png\"><p>x</p>",
        "<link rel=stylesheet href=\"" + file + "/secret.css\"><p>x</p>",
        "<style>@import url(" + file + "/secret.css);</style><p>x</p>",
        "<img src=\"file:///dev/zero\"><img src=\"/dev/zero\">",
        "<img src=\"" + file + "/fifo\"><img src=\"" + path + "/fifo\">",
    };
    // Every open of the folder's files shows as an event here (/dev/zero is shared with
    // the whole machine; reading it would show as a stall and a peak in memory).
    const int opens = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(opens, 0);
    inotify_add_watch(opens, path.constData(), IN_OPEN | IN_ACCESS);
    const QString before = QDir::currentPath();
    QDir::setCurrent(root);  // where a relative picture would be looked for

    LoopbackHttp server;
    WebBrowser browser;
    browser.resize(505, 89);
    int n = 0;
    for (const QByteArray& page : pages) {
        SCOPED_TRACE(page.toStdString());
        EXPECT_LT(Show(browser, server, "/page" + QByteArray::number(++n), page), kMaxStallMs);
        const QImage shot = browser.grab().toImage();
        for (const QPoint at : {QPoint(5, 5), QPoint(40, 30), QPoint(10, 12)})
            EXPECT_NE(shot.pixelColor(at), QColor(Qt::red));
        char events[4096];
        EXPECT_LE(read(opens, events, sizeof events), 0) << "a local file was opened";
    }
    // Nor does the page's document look anything up by itself, should a local address
    // ever reach it.
    QTextDocument* doc = browser.findChild<QTextBrowser*>()->document();
    for (const QByteArray& name : {file + "/secret.png", path + "/secret.png",
                                   QByteArray("secret.png"), file + "/secret.css"}) {
        EXPECT_FALSE(doc->resource(QTextDocument::ImageResource, QUrl(name)).isValid())
            << name.constData();
        EXPECT_FALSE(doc->resource(QTextDocument::StyleSheetResource, QUrl(name)).isValid());
    }
    char events[4096];
    EXPECT_LE(read(opens, events, sizeof events), 0) << "a local file was opened";
    QDir::setCurrent(before);
    close(opens);
    ExpectPeakMemoryBelow256MiB();
}

TEST(HostilePage, EachNavigationDropsThePreviousPagesPictures) {
    LoopbackHttp server;
    // 98 KB on the wire, 125 MB once decoded: dropped by its header.
    QImage huge(5600, 5600, QImage::Format_Indexed8);
    huge.setColorTable({qRgb(0, 0, 128)});
    huge.fill(0);
    const QByteArray hugePng = Png(huge);
    huge = QImage();
    QImage banner(468, 60, QImage::Format_RGB32);
    banner.fill(Qt::darkBlue);
    const QByteArray bannerPng = Png(banner);

    WebBrowser browser;
    browser.resize(505, 89);
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        QByteArray page;
        for (int k = 0; k < 7; ++k) {
            const QByteArray name = "/huge" + QByteArray::number(i * 10 + k) + ".png";
            server.Set(name, {200, "image/png", hugePng});
            page += "<img src=\"" + name + "\">";
        }
        const QByteArray name = "/banner" + QByteArray::number(i) + ".png";
        server.Set(name, {200, "image/png", bannerPng});
        page += "<img src=\"" + name + "\">";

        const QPointer<QTextDocument> previous = browser.findChild<QTextBrowser*>()->document();
        EXPECT_LT(Show(browser, server, "/page" + QByteArray::number(i), page), kMaxStallMs);
        EXPECT_TRUE(previous.isNull()) << "the previous page and its pictures are gone";
        EXPECT_EQ(browser.PicturesShown(), 1);
    }
    ExpectPeakMemoryBelow256MiB();
}
