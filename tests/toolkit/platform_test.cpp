#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QFontInfo>
#include <QObject>
#include <QUrl>

#include "toolkit/colors.h"
#include "toolkit/fonts.h"
#include "toolkit/shell.h"

using namespace hk::toolkit;

TEST(Fonts, WindowsFacesBecomeLiberationAtTheSamePixelHeight) {
    const QFont arial = makeFont("Arial", 13, true);
    EXPECT_EQ(arial.family(), "Liberation Sans");
    EXPECT_EQ(arial.pixelSize(), 13);
    EXPECT_TRUE(arial.bold());
    EXPECT_EQ(makeFont("MS Sans Serif", 11).family(), "Liberation Sans");
    const QFont mono = makeFont("courier new", 12, false, false, true);
    EXPECT_EQ(mono.family(), "Liberation Mono");
    EXPECT_TRUE(mono.underline());
    EXPECT_EQ(QFontInfo(mono).family(), "Liberation Mono") << "fonts-liberation2 missing?";
}

TEST(Colors, LayoutValuesResolveToRgbOrPaletteRoles) {
    QPalette pal;
    pal.setColor(QPalette::Button, QColor(1, 2, 3));
    pal.setColor(QPalette::Highlight, QColor(4, 5, 6));
    pal.setColor(QPalette::Dark, QColor(7, 8, 9));
    EXPECT_EQ(toQColor(48947424u, pal), QColor(224, 224, 234));  // pale grey, palette-relative
    EXPECT_EQ(toQColor(6684672u, pal), QColor(0, 0, 102));       // dark navy
    EXPECT_EQ(toQColor(clBtnFace, pal), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(clHighlight, pal), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(clBtnShadow, pal), QColor(7, 8, 9));
    EXPECT_EQ(fromQColor(QColor(128, 0, 128)), rgbColor(128, 0, 128));
}

namespace {
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.append(url); }
};
}  // namespace

TEST(Shell, OpensWebAddressesThroughTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    EXPECT_TRUE(shellOpen("https://example.org/codes"));
    EXPECT_TRUE(shellOpen("www.example.ru"));
    EXPECT_FALSE(shellOpen(""));
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(catcher.urls.size(), 2);
    EXPECT_EQ(catcher.urls[0], QUrl("https://example.org/codes"));
    EXPECT_EQ(catcher.urls[1].host(), "www.example.ru");
}

#include "platform_test.moc"
