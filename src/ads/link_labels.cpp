#include "ads/link_labels.h"

#include <QUrl>

#include "skin/TRzURLLabel.h"

namespace hk::ads {

QString SiteAddresses::VendorHost() const {
    return QUrl(vendorRoot).authority();
}

namespace {
void assign(hk::skin::TRzURLLabel* label, const QString& address) {
    if (label) label->setURL(address);
}
}  // namespace

void AssignLinkAddresses(const LinkLabels& labels, const SiteAddresses& sites) {
    assign(labels.RzURLLabel_UpdateHintkeeper, sites.UpdateHintkeeper());
    assign(labels.RzURLLabel_MerrowGames, sites.MerrowGames());
    assign(labels.RzURLLabel_FlashGames, sites.FlashGames());
    assign(labels.RzURLLabel_WallpapersGirls, sites.WallpapersGirls());
    assign(labels.RzURLLabel_HintkeeperSite, sites.HintkeeperSite());
    assign(labels.RzURLLabel1, sites.OrderAdvertising());
}

}  // namespace hk::ads
