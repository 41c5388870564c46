#include <gtest/gtest.h>

#include <QBuffer>
#include <QDesktopServices>
#include <QImage>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest/QTest>

#include "loopback_http.h"
#include "toolkit/web_browser.h"

using hk::testing::HttpResponse;
using hk::testing::LoopbackHttp;
using hk::toolkit::decodeHtml;
using hk::toolkit::WebBrowser;

namespace {
class LinkCatcher : public QObject {
    Q_OBJECT
  public:
    LinkCatcher() { QDesktopServices::setUrlHandler("http", this, "open"); }
    ~LinkCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};
}  // namespace

TEST(PageText, CodePageFromHeaderMetaOrBytes) {
    const QByteArray cp1251 = "\xc1\xe0\xed\xed\xe5\xf0";  // "Баннер"
    const QString banner = QStringLiteral("Баннер");
    EXPECT_EQ(decodeHtml(cp1251, "text/html; charset=windows-1251"), banner);
    EXPECT_EQ(decodeHtml("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                         "charset=Windows-1251\">" +
                             cp1251,
                         "text/html")
                  .right(6),
              banner);
    EXPECT_EQ(decodeHtml("<meta charset='utf-8'>" + banner.toUtf8(), "").right(6), banner);
    // Nothing declared: valid UTF-8 is UTF-8, anything else the Russian code page.
    EXPECT_EQ(decodeHtml(banner.toUtf8(), ""), banner);
    EXPECT_EQ(decodeHtml(cp1251, "text/html"), banner);
    // The header wins over the page.
    EXPECT_EQ(decodeHtml("<meta charset=utf-8>" + cp1251, "text/html; charset=cp1251").right(6),
              banner);
}

TEST(WebBrowserLoad, PageArrivesWithoutBlockingAndCompletesOnce) {
    LoopbackHttp server;
    server.Set("/page.html", {200, "text/html; charset=windows-1251", "<b>\xc8\xe3\xf0\xe0</b>"});
    WebBrowser browser;
    QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
    QSignalSpy status(&browser, &WebBrowser::StatusTextChange);
    browser.Navigate(server.Url("/page.html"));
    // Navigate only starts the load.
    EXPECT_TRUE(browser.Busy());
    EXPECT_EQ(done.count(), 0);
    QTRY_COMPARE(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toString(), server.Url("/page.html"));
    EXPECT_EQ(browser.LocationURL(), server.Url("/page.html"));
    EXPECT_EQ(browser.PageText(), QStringLiteral("Игра"));
    for (const auto& args : status) EXPECT_FALSE(args.at(0).toString().contains("res://"));
    EXPECT_FALSE(browser.Busy());
}

TEST(WebBrowserLoad, PicturesArriveAfterThePageHasCompleted) {
    LoopbackHttp server;
    QImage picture(468, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    server.Set("/ads/banner.png", {200, "image/png", png});
    server.Set("/ads/page.html", {200, "text/html",
                                  "<a href=\"go\"><img src=\"banner.png\"></a>"
                                  "<img src=\"/ads/missing.png\"><img src=\"banner.png\">"});
    WebBrowser browser;
    browser.resize(505, 89);
    QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
    browser.Navigate(server.Url("/ads/page.html"));
    QTRY_COMPARE(done.count(), 1);
    QTRY_COMPARE(browser.PicturesShown(), 1);
    QTRY_COMPARE(server.Requests("/ads/missing.png"), 1);
    EXPECT_EQ(server.Requests("/ads/banner.png"), 1) << "one fetch per picture";
    EXPECT_EQ(done.count(), 1);
    browser.resize(505, 89);
    EXPECT_EQ(browser.grab().toImage().pixelColor(40, 30), QColor(Qt::darkBlue));

    // The picture is a link; it opens in the user's browser, relative to the page.
    LinkCatcher catcher;
    QTest::mouseClick(browser.findChild<QTextBrowser*>()->viewport(), Qt::LeftButton, {},
                      QPoint(40, 30));
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(server.Url("/ads/go"))});
    EXPECT_EQ(browser.LocationURL(), server.Url("/ads/page.html")) << "the slot stays put";
}

TEST(WebBrowserLoad, ANewNavigationDropsTheOneStillRunning) {
    LoopbackHttp server;
    server.Set("/slow.html", {200, "text/html", "", true});
    server.Set("/fast.html", {200, "text/html", "<p>fast</p>"});
    WebBrowser browser;
    QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
    browser.Navigate(server.Url("/slow.html"));
    QTRY_COMPARE(server.Requests("/slow.html"), 1);
    browser.Navigate(server.Url("/fast.html"));
    QTRY_COMPARE(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toString(), server.Url("/fast.html"));
    QTest::qWait(50);
    EXPECT_EQ(done.count(), 1);

    // Stop leaves no event behind either.
    browser.Navigate(server.Url("/slow.html"));
    browser.Stop();
    EXPECT_FALSE(browser.Busy());
    QTest::qWait(50);
    EXPECT_EQ(done.count(), 1);
}

TEST(WebBrowserLoad, UnusableAnswersBecomeTheErrorPage) {
    LoopbackHttp server;
    // A page of exactly the largest size is shown; one byte more is not (below).
    QByteArray limit = "<p>limit</p><!--";
    limit += QByteArray(WebBrowser::kMaxPageBytes - limit.size() - 3, 'x') + "-->";
    server.Set("/limit.html", {200, "text/html", limit});
    {
        WebBrowser browser;
        QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
        browser.Navigate(server.Url("/limit.html"));
        QTRY_COMPARE(done.count(), 1);
        EXPECT_EQ(browser.LocationURL().toStdString(), server.Url("/limit.html").toStdString());
        EXPECT_EQ(browser.PageText().toStdString(), "limit");
    }
    server.Set("/huge.html", {200, "text/html", limit + ' '});
    const QString bad[] = {server.Url("/huge.html"), QStringLiteral("ftp://127.0.0.1/banner"),
                           QStringLiteral("http://")};
    for (const QString& address : bad) {
        SCOPED_TRACE(address.toStdString());
        WebBrowser browser;
        QSignalSpy done(&browser, &WebBrowser::NavigateComplete2);
        QSignalSpy status(&browser, &WebBrowser::StatusTextChange);
        browser.Navigate(address);
        EXPECT_EQ(done.count(), 0) << "reported from the event loop";
        QTRY_COMPARE(done.count(), 1);
        EXPECT_EQ(done.at(0).at(0).toString(), WebBrowser::ErrorPageAddress(address));
        EXPECT_TRUE(status.last().at(0).toString().startsWith("res://"));
    }
}

TEST(WebBrowserLoad, VisibilityPropertyIsTheBrowsersOwn) {
    WebBrowser browser;
    browser.show();
    QSignalSpy changed(&browser, &WebBrowser::BrowserVisibleChanged);
    EXPECT_TRUE(browser.property("Visible").toBool());
    browser.setProperty("Visible", false);
    EXPECT_FALSE(browser.BrowserVisible());
    EXPECT_TRUE(browser.isVisible());
    browser.setBrowserVisible(false);
    EXPECT_EQ(changed.count(), 1);
}

#include "web_browser_test.moc"
