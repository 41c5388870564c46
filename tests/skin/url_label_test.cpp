#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QUrl>
#include <QtTest/QTest>
#include <stdexcept>

#include "skin/TRzURLLabel.h"
#include "toolkit/fonts.h"

using namespace hk::skin;
using hk::toolkit::rgbColor;

namespace {
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.append(url); }
};
}  // namespace

TEST(UrlLabel, SuccessfulOpenTurnsTheTextVisitedColour) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    TRzURLLabel label;
    label.setCaption("codes");
    label.setFontColor(hk::toolkit::clRed);  // as the layout gives the online notice
    label.setURL("http://www.example.ru/codes/");
    label.hide();  // hidden labels open just the same
    label.Click();
    QDesktopServices::unsetUrlHandler("http");
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl("http://www.example.ru/codes/"));
    EXPECT_TRUE(label.Visited());
    EXPECT_EQ(label.FontColor(), rgbColor(128, 0, 128));
}

TEST(UrlLabel, FailedOpenLeavesColourAndVisitedAlone) {
    TRzURLLabel label;
    label.setFontColor(hk::toolkit::clRed);
    label.setURL("http://www.example.ru/page.htm");
    int opens = 0;
    label.opener = [&](const QString&) {
        ++opens;
        return false;
    };
    label.Click();
    EXPECT_EQ(opens, 1);
    EXPECT_FALSE(label.Visited());
    EXPECT_EQ(label.FontColor(), hk::toolkit::clRed);
}

TEST(UrlLabel, BlankUrlFallsBackToTheCaption) {
    TRzURLLabel label;
    QStringList targets;
    label.opener = [&](const QString& t) {
        targets << t;
        return true;
    };
    label.setURL("   ");
    label.setCaption("A");
    label.Click();
    EXPECT_EQ(targets, QStringList{"A"});

    TRzURLLabel blank;
    blank.opener = label.opener;
    blank.setURL(" ");
    blank.setCaption("  ");
    blank.Click();
    EXPECT_EQ(targets.size(), 1);
    EXPECT_FALSE(blank.Visited());
}

TEST(UrlLabel, ClickHandlerRunsFirstAndCanStopTheOpen) {
    QWidget parent;
    TRzURLLabel& label = *new TRzURLLabel(&parent);
    label.setCaption("link");
    label.setURL("http://x.example/");
    QStringList order;
    label.opener = [&](const QString&) {
        order << "open";
        return true;
    };
    label.OnClick = [&](QObject*) {
        order << "click";
        if (order.size() > 2) throw std::runtime_error("stop");
    };
    parent.show();
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(order, (QStringList{"click", "open"}));
    EXPECT_THROW(label.Click(), std::runtime_error);
    EXPECT_EQ(order, (QStringList{"click", "open", "click"}));
}

TEST(UrlLabel, ColourSettersRecolourByVisitedState) {
    TRzURLLabel label;
    EXPECT_EQ(label.FontColor(), hk::toolkit::clHighlight);
    EXPECT_TRUE(label.font().underline());
    label.setUnvisitedColor(rgbColor(1, 2, 3));
    EXPECT_EQ(label.FontColor(), rgbColor(1, 2, 3));
    label.setVisited(true);
    EXPECT_EQ(label.FontColor(), rgbColor(128, 0, 128));
    label.setVisitedColor(rgbColor(4, 5, 6));
    EXPECT_EQ(label.FontColor(), rgbColor(4, 5, 6));
}

TEST(UrlLabel, FourCentredLinesSitInTheMiddleOfTheArea) {
    QWidget parent;
    parent.resize(462, 158);
    TRzURLLabel label(&parent);
    label.setFont(hk::toolkit::makeFont("MS Sans Serif", 13, false, false, true));
    label.setAutoSize(false);
    label.setGeometry(0, 0, 462, 158);
    label.setColor(rgbColor(255, 255, 255));
    label.setFontColor(rgbColor(0, 0, 0));
    label.setWordWrap(true);
    label.setAlignment(TLabelAlignment::taCenter);
    label.setLayout(TTextLayout::tlCenter);
    label.setCaption("first line\nsecond line\nthird line\nwww.example.ru");
    const QImage shot = label.grab().toImage();
    int top = 158, bottom = -1, left = 462, right = -1;
    for (int y = 0; y < 158; ++y)
        for (int x = 0; x < 462; ++x)
            if (qGray(shot.pixel(x, y)) < 128) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0);
    EXPECT_NEAR(top, 157 - bottom, 4);
    EXPECT_NEAR(left, 461 - right, 4);
    EXPECT_GT(bottom - top, 3 * QFontMetrics(label.font()).height());
}

TEST(UrlLabel, AutoSizeFitsTheCaption) {
    TRzURLLabel label;
    // The windows' own face, not the desktop's default one, whose line height
    // rounds differently from one font to the next.
    label.setFont(hk::toolkit::makeFont("MS Sans Serif", 13, false, false, true));
    label.setCaption("RzURLLabel_FlashGames");
    const QFontMetrics fm(label.font());
    EXPECT_EQ(label.height(), fm.height());
    EXPECT_NEAR(label.width(), fm.horizontalAdvance("RzURLLabel_FlashGames"), 2);
}

#include "url_label_test.moc"
