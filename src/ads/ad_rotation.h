#pragma once
// The main window's advertising: the banner rotation in its slot and the link
// addresses, driven by the window's activation sequence.

#include <QPointer>
#include <memory>

#include "ads/banner_rotation.h"
#include "ads/site_addresses.h"
#include "toolkit/web_browser.h"
#include "window/ad_panel.h"

namespace hk::ads {

class AdRotation : public hk::window::AdPanel {
  public:
    // Puts the web browser into the window's WebBrowser1 slot and takes over AdTimer.
    explicit AdRotation(hk::window::TFormMain& form, SiteAddresses sites = {});
    ~AdRotation() override;

    void ResetBannerSlot(hk::window::TFormMain& form) override;
    void AssignLinkAddresses(hk::window::TFormMain& form) override;
    void StartRotation(hk::window::TFormMain& form) override;
    QString VendorHost() const override { return sites_.VendorHost(); }
    QString CheatPageBase() const override { return sites_.CheatPageBase(); }

    BannerRotation& Rotation() { return *rotation_; }
    hk::toolkit::WebBrowser* Browser() const { return browser_; }
    const SiteAddresses& Sites() const { return sites_; }

  private:
    SiteAddresses sites_;
    QPointer<hk::toolkit::WebBrowser> browser_;
    std::unique_ptr<BannerRotation> rotation_;
};

}  // namespace hk::ads
