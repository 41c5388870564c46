#include "window/ad_panel.h"

#include <QDateTime>
#include <QTimer>

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
    const QString site = "http://" + VendorHost();
    form.RzURLLabel_UpdateHintkeeper->setURL(site + "/hintkeeper/");
    form.RzURLLabel_MerrowGames->setURL(site + "/merrow/?cat=casualpcgames&act=newgames");
    form.RzURLLabel_FlashGames->setURL(site + "/merrow/?cat=onlinegames");
    form.RzURLLabel_WallpapersGirls->setURL(site + "/");
    form.RzURLLabel_HintkeeperSite->setURL(site + "/");
    if (form.FormAbout()) form.FormAbout()->RzURLLabel1->setURL(site + "/reklama.phtml");
}

void BasicAdPanel::StartRotation(TFormMain& form) {
    // Without a web banner the slot simply shows one animation at random.
    random_.seed(static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()));
    const auto r = random_.bounded(5);
    auto* gif = form.RxGIFAnimator[static_cast<size_t>(r)];
    gif->show();
    gif->setAnimate(true);
}

}  // namespace hk::window
