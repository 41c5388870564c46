#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <memory>

#include "ads/ad_rotation.h"
#include "loopback_http.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"
#include "test_database.h"
#include "toolkit/web_browser.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace {

class LinkCatcher : public QObject {
    Q_OBJECT
  public:
    LinkCatcher() { QDesktopServices::setUrlHandler("http", this, "open"); }
    ~LinkCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
    QStringList urls;
  public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

// The main window over a two-game database, its vendor site on this machine, activated
// as at start-up.
class WindowAds : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        hk::testing::WriteTestDatabase(
            dir.filePath("hintkeeper.dat").toStdString(),
            {{"Doom (PC)", "1", {"IDDQD\tбессмертие"}}, {"Quake (PC)", "0", {"***Номер:7731"}}});
        server.Set("/hintkeeperbanner.html", {200, "text/html", "<p>banner</p>"});
        form = std::make_unique<hk::window::TFormMain>(dir.path().toStdString() + "/");
        about = std::make_unique<hk::window::TFormAbout>(*form);
        form->setAbout(about.get());
        form->ShowErrorBox = [](const QString& m) { ADD_FAILURE() << m.toStdString(); };
        hk::ads::SiteAddresses sites;
        sites.vendorRoot = server.Root();
        auto panel = std::make_unique<hk::ads::AdRotation>(*form, sites);
        ads = panel.get();
        ads->Rotation().SeedSource = [] { return 7u; };
        form->setAdPanel(std::move(panel));
        form->show();
        form->FormActivate();
    }
    void TearDown() override {
        about.reset();
        form.reset();
    }
    int ShownBanners() const {
        int shown = 0;
        for (auto* gif : form->RxGIFAnimator) shown += gif->isVisible() ? 1 : 0;
        return shown;
    }

    QTemporaryDir dir;
    hk::testing::LoopbackHttp server;
    std::unique_ptr<hk::window::TFormMain> form;
    std::unique_ptr<hk::window::TFormAbout> about;
    hk::ads::AdRotation* ads = nullptr;
};

}  // namespace

TEST_F(WindowAds, ActivationShowsAnAnimationWhileTheBannerPageLoads) {
    EXPECT_EQ(ShownBanners(), 1);
    EXPECT_FALSE(form->WebBrowser1->isVisible());
    EXPECT_EQ(form->WebBrowser1->pos(), QPoint(-2, -2));
    EXPECT_FALSE(ads->Browser()->BrowserVisible());
    EXPECT_EQ(ads->Browser()->size(), QSize(505, 89));
    EXPECT_EQ(form->AdTimer->interval(), 30000);
    EXPECT_TRUE(form->AdTimer->isActive());
    QTRY_VERIFY(ads->Rotation().BannerLoaded());
    EXPECT_EQ(server.Requests("/hintkeeperbanner.html"), 1);

    ads->Rotation().AdTimerTimer();
    EXPECT_TRUE(form->WebBrowser1->isVisible());
    EXPECT_EQ(ShownBanners(), 0);

    // Coming back from another window hides it again and starts afresh.
    form->FormActivate();
    EXPECT_FALSE(form->WebBrowser1->isVisible());
    EXPECT_EQ(ShownBanners(), 1);
    QTRY_COMPARE(server.Requests("/hintkeeperbanner.html"), 2);
}

TEST_F(WindowAds, ButtonsBannersAndLinksOpenTheirPages) {
    LinkCatcher catcher;
    const QString site = server.Root();
    form->CoolBitmapButton5Click();
    for (auto* gif : form->RxGIFAnimator) {
        gif->show();
        QTest::mouseClick(gif, Qt::LeftButton, {}, QPoint(10, 10));
    }
    about->RzURLLabel1->Click();
    form->CLB_Games->setCurrentRow(1);  // the online-only entry
    form->SolutionURLLabel->Click();

    const QString flash = site + "/merrow/?cat=onlinegames";
    const QStringList expected = {site + "/hintkeeper/",
                                  flash,
                                  QString::fromLatin1(hk::ads::kPartnerSite),
                                  site + "/merrow/?cat=casualpcgames&act=newgames",
                                  flash,
                                  flash,
                                  site + "/reklama.phtml",
                                  site + "/cheats/cheat.phtml?id=7731"};
    EXPECT_EQ(catcher.urls, expected);
}

TEST(FallbackAds, BannersOpenTheSamePagesAsWithTheRealPanel) {
    QTemporaryDir dir;
    hk::testing::WriteTestDatabase(dir.filePath("hintkeeper.dat").toStdString(),
                                   {{"Doom (PC)", "1", {"IDDQD"}}});
    hk::window::TFormMain form(dir.path().toStdString() + "/");  // keeps its own panel
    form.show();
    form.FormActivate();
    LinkCatcher catcher;
    for (auto* gif : form.RxGIFAnimator) {
        gif->show();
        QTest::mouseClick(gif, Qt::LeftButton, {}, QPoint(10, 10));
    }
    const hk::ads::SiteAddresses sites;
    EXPECT_EQ(catcher.urls,
              QStringList({sites.FlashGames(), sites.WallpapersGirls(), sites.MerrowGames(),
                           sites.FlashGames(), sites.FlashGames()}));
}

#include "main_window_ads_test.moc"
