#pragma once
// Every web address the program knows: pages of the vendor site, relative to its
// root, and the partner wallpapers site.

#include <QString>

namespace hk::ads {

inline constexpr char kVendorHost[] = "www.hintkeeper.ru";
inline constexpr char kPartnerSite[] = "http://www.oboi-krasivye.ru/";

struct SiteAddresses {
    // Root of the vendor site, without the final "/".
    QString vendorRoot = QStringLiteral("http://") + QLatin1String(kVendorHost);
    QString partnerRoot = QLatin1String(kPartnerSite);

    QString VendorHost() const;
    QString HintkeeperSite() const { return vendorRoot + QStringLiteral("/"); }
    QString UpdateHintkeeper() const { return vendorRoot + QStringLiteral("/hintkeeper/"); }
    QString MerrowGames() const {
        return vendorRoot + QStringLiteral("/merrow/?cat=casualpcgames&act=newgames");
    }
    QString FlashGames() const { return vendorRoot + QStringLiteral("/merrow/?cat=onlinegames"); }
    QString WallpapersGirls() const { return partnerRoot; }
    QString OrderAdvertising() const { return vendorRoot + QStringLiteral("/reklama.phtml"); }
    QString BannerPage() const { return vendorRoot + QStringLiteral("/hintkeeperbanner.html"); }
    // An online-only entry's page is this followed by the entry's identifier.
    QString CheatPageBase() const { return vendorRoot + QStringLiteral("/cheats/cheat.phtml?id="); }
};

}  // namespace hk::ads
