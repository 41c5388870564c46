#include "ads/ad_rotation.h"

#include "ads/link_labels.h"
#include "toolkit/web_browser.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace hk::ads {

AdRotation::AdRotation(hk::window::TFormMain& form, SiteAddresses sites)
    : sites_(std::move(sites)) {
    browser_ = new hk::toolkit::WebBrowser(form.WebBrowser1);
    browser_->setObjectName(QStringLiteral("WebBrowserControl"));
    browser_->setGeometry(0, 0, form.WebBrowser1->width(), form.WebBrowser1->height());
    BannerSlot slot;
    slot.RxGIFAnimator = form.RxGIFAnimator;
    slot.WebBrowser1 = form.WebBrowser1;
    slot.browser = browser_;
    slot.AdTimer = form.AdTimer;
    rotation_ = std::make_unique<BannerRotation>(slot, sites_.BannerPage());
}

AdRotation::~AdRotation() {
    rotation_.reset();
    // The window outlives its panels; a replaced panel takes its browser along.
    delete browser_.data();
}

void AdRotation::ResetBannerSlot(hk::window::TFormMain&) {
    rotation_->ResetBannerSlot();
}

void AdRotation::AssignLinkAddresses(hk::window::TFormMain& form) {
    LinkLabels labels;
    labels.RzURLLabel_UpdateHintkeeper = form.RzURLLabel_UpdateHintkeeper;
    labels.RzURLLabel_MerrowGames = form.RzURLLabel_MerrowGames;
    labels.RzURLLabel_FlashGames = form.RzURLLabel_FlashGames;
    labels.RzURLLabel_WallpapersGirls = form.RzURLLabel_WallpapersGirls;
    labels.RzURLLabel_HintkeeperSite = form.RzURLLabel_HintkeeperSite;
    if (form.FormAbout()) labels.RzURLLabel1 = form.FormAbout()->RzURLLabel1;
    hk::ads::AssignLinkAddresses(labels, sites_);
}

void AdRotation::StartRotation(hk::window::TFormMain&) {
    rotation_->StartRotation();
}

}  // namespace hk::ads
