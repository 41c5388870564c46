#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QUrl>

#include "ads/link_labels.h"
#include "skin/TRzURLLabel.h"

using hk::ads::AssignLinkAddresses;
using hk::ads::LinkLabels;
using hk::ads::SiteAddresses;
using hk::skin::TRzURLLabel;

namespace {
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler("http", this, "open");
        QDesktopServices::setUrlHandler("https", this, "open");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.append(url); }
};
}  // namespace

TEST(LinkAddresses, HiddenLabelsOpenTheirPagesWhenClicked) {
    UrlCatcher catcher;
    TRzURLLabel update, merrow, flash, wallpapers, site, about;
    for (auto* l : {&update, &merrow, &flash, &wallpapers, &site}) {
        l->setCaption("RzURLLabel");
        l->setURL("http://left.over/by/the/layout");
        l->hide();
    }
    const LinkLabels labels{&update, &merrow, &flash, &wallpapers, &site, &about};
    AssignLinkAddresses(labels, SiteAddresses{});
    for (auto* l : {&update, &merrow, &flash, &wallpapers, &site, &about}) l->Click();
    ASSERT_EQ(catcher.urls.size(), 6);
    EXPECT_EQ(catcher.urls[0], QUrl("http://www.hintkeeper.ru/hintkeeper/"));
    EXPECT_EQ(catcher.urls[1],
              QUrl("http://www.hintkeeper.ru/merrow/?cat=casualpcgames&act=newgames"));
    EXPECT_EQ(catcher.urls[2], QUrl("http://www.hintkeeper.ru/merrow/?cat=onlinegames"));
    EXPECT_EQ(catcher.urls[3].host(), QUrl(hk::ads::kPartnerSite).host());
    EXPECT_NE(catcher.urls[3].host(), QStringLiteral("www.hintkeeper.ru"));
    EXPECT_EQ(catcher.urls[4], QUrl("http://www.hintkeeper.ru/"));
    EXPECT_EQ(catcher.urls[5], QUrl("http://www.hintkeeper.ru/reklama.phtml"));
}

TEST(LinkAddresses, SitesFollowTheirRoots) {
    SiteAddresses sites;
    EXPECT_EQ(sites.VendorHost(), QStringLiteral("www.hintkeeper.ru"));
    EXPECT_EQ(sites.CheatPageBase() + "1742",
              QStringLiteral("http://www.hintkeeper.ru/cheats/cheat.phtml?id=1742"));
    EXPECT_EQ(sites.BannerPage(), QStringLiteral("http://www.hintkeeper.ru/hintkeeperbanner.html"));
    sites.vendorRoot = QStringLiteral("http://127.0.0.1:8080");
    EXPECT_EQ(sites.VendorHost(), QStringLiteral("127.0.0.1:8080"));
    EXPECT_EQ(sites.BannerPage(), QStringLiteral("http://127.0.0.1:8080/hintkeeperbanner.html"));

    // A missing About box is no reason to leave the window's labels without targets.
    TRzURLLabel update;
    AssignLinkAddresses(LinkLabels{&update}, sites);
    EXPECT_EQ(update.URL(), QStringLiteral("http://127.0.0.1:8080/hintkeeper/"));
}

#include "link_labels_test.moc"
