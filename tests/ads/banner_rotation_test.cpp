#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <QtTest/QTest>
#include <memory>
#include <vector>

#include "ads/banner_rotation.h"
#include "loopback_http.h"
#include "skin/TRxGIFAnimator.h"
#include "toolkit/web_browser.h"

using hk::ads::BannerRotation;
using hk::ads::BannerSlot;
using hk::testing::HttpResponse;
using hk::testing::LoopbackHttp;

namespace {

// The banner slot as the main window lays it out: five animations and the browser's
// 505 x 89 control in a 468 x 60 panel, and the rotation's timer.
struct Slot {
    explicit Slot(const QString& bannerPage) {
        panel.resize(468, 60);
        for (auto& gif : slot.RxGIFAnimator) {
            gif = new hk::skin::TRxGIFAnimator(&panel);
            gif->resize(468, 60);
        }
        browser = new hk::toolkit::WebBrowser(&panel);
        browser->setGeometry(-378, 30, 505, 89);
        slot.WebBrowser1 = browser;
        slot.browser = browser;
        slot.AdTimer = &timer;
        rotation = std::make_unique<BannerRotation>(slot, bannerPage);
        rotation->SeedSource = [this] { return seed; };
        panel.show();
    }

    std::vector<int> Shown() const {
        std::vector<int> shown;
        for (int i = 0; i < 5; ++i)
            if (slot.RxGIFAnimator[static_cast<size_t>(i)]->isVisible()) shown.push_back(i + 1);
        return shown;
    }
    int Animating() const {
        int n = 0;
        for (auto* gif : slot.RxGIFAnimator) n += gif->Animate() ? 1 : 0;
        return n;
    }
    void Activate() {
        rotation->ResetBannerSlot();
        rotation->StartRotation();
    }

    QWidget panel;
    QTimer timer;
    BannerSlot slot;
    hk::toolkit::WebBrowser* browser = nullptr;
    std::unique_ptr<BannerRotation> rotation;
    quint32 seed = 1234;
};

}  // namespace

TEST(BannerRotation, ActivationClearsTheSlot) {
    Slot s(LoopbackHttp::RefusingUrl("/hintkeeperbanner.html"));
    for (auto* gif : s.slot.RxGIFAnimator) {
        gif->move(40, 7);
        gif->show();
        gif->setAnimate(true);
    }
    s.browser->show();
    s.rotation->ResetBannerSlot();
    EXPECT_FALSE(s.browser->BrowserVisible());
    EXPECT_FALSE(s.browser->isVisible());
    EXPECT_EQ(s.browser->pos(), QPoint(-2, -2));
    for (auto* gif : s.slot.RxGIFAnimator) {
        EXPECT_FALSE(gif->isVisible());
        EXPECT_FALSE(gif->Animate());
        EXPECT_EQ(gif->pos(), QPoint(0, 0));
    }
}

TEST(BannerRotation, WithoutNetworkEachTurnShowsOneRandomAnimation) {
    Slot s(LoopbackHttp::RefusingUrl("/hintkeeperbanner.html"));
    s.Activate();
    EXPECT_EQ(s.timer.interval(), 30000);
    EXPECT_TRUE(s.timer.isActive());

    std::vector<int> counts(6, 0);
    for (int turn = 0; turn < 200; ++turn) {
        if (turn > 0) s.rotation->AdTimerTimer();
        const std::vector<int> shown = s.Shown();
        ASSERT_EQ(shown.size(), 1u) << "turn " << turn;
        EXPECT_EQ(shown[0], s.rotation->LastChoice());
        EXPECT_EQ(s.Animating(), 1);
        EXPECT_TRUE(s.slot.RxGIFAnimator[static_cast<size_t>(shown[0] - 1)]->Animate());
        EXPECT_FALSE(s.browser->isVisible());
        EXPECT_TRUE(s.timer.isActive());
        ++counts[static_cast<size_t>(shown[0])];
        // Let the refused load report itself now and then, as it would between turns.
        if (turn % 50 == 0) QTRY_VERIFY(!s.browser->Busy());
    }
    for (int r = 1; r <= 5; ++r) EXPECT_GT(counts[static_cast<size_t>(r)], 10) << "banner " << r;
}

TEST(BannerRotation, EveryActivationReseedsFromTheSource) {
    Slot s(LoopbackHttp::RefusingUrl("/hintkeeperbanner.html"));
    auto turns = [&] {
        s.Activate();
        std::vector<int> picks{s.rotation->LastChoice()};
        for (int i = 0; i < 11; ++i) {
            s.rotation->AdTimerTimer();
            picks.push_back(s.rotation->LastChoice());
        }
        return picks;
    };
    const std::vector<int> first = turns();
    EXPECT_EQ(turns(), first);
    s.seed = 98765;
    EXPECT_NE(turns(), first);
}

TEST(WebBanner, ShownOnlyAfterACleanLoadAndWithoutReloading) {
    LoopbackHttp server;
    server.Set("/hintkeeperbanner.html", {200, "text/html; charset=utf-8",
                                          "<html><body><a href=\"/go\">Баннер</a></body></html>"});
    Slot s(server.Url("/hintkeeperbanner.html"));
    s.Activate();
    ASSERT_NE(s.rotation->LastChoice(), 0);
    QTRY_VERIFY(s.rotation->BannerLoaded());
    EXPECT_TRUE(s.rotation->BannerHealthy());
    EXPECT_FALSE(s.browser->isVisible()) << "the page loads behind the animation";
    EXPECT_EQ(s.browser->PageText(), QStringLiteral("Баннер"));

    s.rotation->AdTimerTimer();
    EXPECT_EQ(s.rotation->LastChoice(), 0);
    EXPECT_TRUE(s.browser->isVisible());
    EXPECT_TRUE(s.Shown().empty());
    EXPECT_EQ(s.Animating(), 0);
    EXPECT_FALSE(s.browser->Busy());
    EXPECT_EQ(server.Requests("/hintkeeperbanner.html"), 1);

    // Nothing new has loaded since, so the next turn is an animation and a reload.
    s.rotation->AdTimerTimer();
    EXPECT_NE(s.rotation->LastChoice(), 0);
    EXPECT_FALSE(s.browser->isVisible());
    EXPECT_EQ(s.Shown().size(), 1u);
    QTRY_COMPARE(server.Requests("/hintkeeperbanner.html"), 2);
}

TEST(WebBanner, FailedLoadsReportResAndKeepTheBannerHidden) {
    LoopbackHttp server;
    server.Set("/error.html", {500, "text/html", "<p>down</p>"});
    server.Set("/dropped.html", {200, "text/html", "", false, true});
    const QString pages[] = {server.Url("/missing.html"), server.Url("/error.html"),
                             server.Url("/dropped.html"),
                             LoopbackHttp::RefusingUrl("/hintkeeperbanner.html")};
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        Slot s(page);
        QStringList statuses;
        QObject::connect(s.browser, &hk::toolkit::WebBrowser::StatusTextChange,
                         [&](const QString& t) { statuses << t; });
        s.Activate();
        QTRY_VERIFY(s.rotation->BannerLoaded());
        EXPECT_FALSE(s.rotation->BannerHealthy());
        ASSERT_FALSE(statuses.isEmpty());
        EXPECT_TRUE(statuses.last().startsWith("res://")) << statuses.last().toStdString();
        EXPECT_TRUE(s.browser->LocationURL().startsWith("res://"));

        s.rotation->AdTimerTimer();
        EXPECT_FALSE(s.browser->isVisible());
        EXPECT_EQ(s.Shown().size(), 1u);
    }
}

TEST(WebBanner, AResStatusAfterAGoodLoadStillKeepsItHidden) {
    LoopbackHttp server;
    server.Set("/hintkeeperbanner.html", {200, "text/html", "<p>ok</p>"});
    Slot s(server.Url("/hintkeeperbanner.html"));
    s.Activate();
    QTRY_VERIFY(s.rotation->BannerLoaded());
    emit s.browser->StatusTextChange(QStringLiteral("Opening res://ieframe.dll/dnserror.htm"));
    s.rotation->AdTimerTimer();
    EXPECT_FALSE(s.browser->isVisible());
    EXPECT_NE(s.rotation->LastChoice(), 0);
}
