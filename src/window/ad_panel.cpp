#include "window/ad_panel.h"

#include <QDateTime>
#include <QTimer>

#include "ads/site_addresses.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace hk::window {

void BasicAdPanel::ResetBannerSlot(TFormMain& form) {
    form.WebBrowser1->hide();
    form.WebBrowser1->move(-2, -2);
    for (auto* gif : form.RxGIFAnimator) {
        gif->hide();
        gif->setAnimate(false);
        gif->move(0, 0);
    }
}

void BasicAdPanel::AssignLinkAddresses(TFormMain& form) {
    // The same addresses as the real panel's, the partner site's included.
    const hk::ads::SiteAddresses sites;
    form.RzURLLabel_UpdateHintkeeper->setURL(sites.UpdateHintkeeper());
    form.RzURLLabel_MerrowGames->setURL(sites.MerrowGames());
    form.RzURLLabel_FlashGames->setURL(sites.FlashGames());
    form.RzURLLabel_WallpapersGirls->setURL(sites.WallpapersGirls());
    form.RzURLLabel_HintkeeperSite->setURL(sites.HintkeeperSite());
    if (form.FormAbout()) form.FormAbout()->RzURLLabel1->setURL(sites.OrderAdvertising());
}

QString BasicAdPanel::VendorHost() const {
    return QLatin1String(hk::ads::kVendorHost);
}

BasicAdPanel::~BasicAdPanel() {
    QObject::disconnect(tick_);
}

void BasicAdPanel::StartRotation(TFormMain& form) {
    random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    if (!tick_)
        tick_ = QObject::connect(form.AdTimer, &QTimer::timeout, [this, &form] { Rotate(form); });
    form.AdTimer->setInterval(30000);
    form.AdTimer->start();
    Rotate(form);
}

void BasicAdPanel::Rotate(TFormMain& form) {
    // Without a web banner the slot shows one animation at random per turn.
    form.AdTimer->stop();
    const auto r = static_cast<size_t>(random_.bounded(5));
    for (auto* gif : form.RxGIFAnimator) gif->hide();
    for (auto* gif : form.RxGIFAnimator) gif->setAnimate(false);
    form.WebBrowser1->hide();
    form.RxGIFAnimator[r]->show();
    form.RxGIFAnimator[r]->setAnimate(true);
    form.AdTimer->start();
}

}  // namespace hk::window
