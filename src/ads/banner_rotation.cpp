#include "ads/banner_rotation.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include "skin/TRxGIFAnimator.h"
#include "toolkit/web_browser.h"

namespace hk::ads {

BannerRotation::BannerRotation(BannerSlot slot, QString bannerPage, QObject* parent)
    : QObject(parent),
      SeedSource([] { return static_cast<quint32>(QDateTime::currentMSecsSinceEpoch()); }),
      slot_(slot),
      bannerPage_(std::move(bannerPage)) {
    connect(slot_.AdTimer, &QTimer::timeout, this, &BannerRotation::AdTimerTimer);
    connect(slot_.browser, &hk::toolkit::WebBrowser::NavigateComplete2, this,
            &BannerRotation::WebBrowser1NavigateComplete2);
    connect(slot_.browser, &hk::toolkit::WebBrowser::StatusTextChange, this,
            &BannerRotation::WebBrowser1StatusTextChange);
}

void BannerRotation::ResetBannerSlot() {
    slot_.browser->setBrowserVisible(false);
    slot_.WebBrowser1->hide();
    slot_.WebBrowser1->move(-2, -2);
    for (auto* gif : slot_.RxGIFAnimator) {
        gif->hide();
        gif->setAnimate(false);
        gif->move(0, 0);
    }
}

void BannerRotation::StartRotation() {
    random_.seed(SeedSource());
    slot_.AdTimer->setInterval(kRotationMs);
    slot_.AdTimer->start();
    AdTimerTimer();
}

void BannerRotation::AdTimerTimer() {
    slot_.AdTimer->stop();
    const int r = random_.bounded(1, 6);
    for (auto* gif : slot_.RxGIFAnimator) gif->hide();
    for (auto* gif : slot_.RxGIFAnimator) gif->setAnimate(false);
    slot_.WebBrowser1->hide();
    if (bannerLoaded_ && bannerHealthy_) {
        // The page already there is shown; a new load would only blank it.
        slot_.WebBrowser1->show();
        lastChoice_ = 0;
    } else {
        auto* gif = slot_.RxGIFAnimator[static_cast<size_t>(r - 1)];
        gif->show();
        gif->setAnimate(true);
        lastChoice_ = r;
        slot_.browser->Navigate(bannerPage_);
    }
    bannerLoaded_ = false;
    bannerHealthy_ = true;
    slot_.AdTimer->start();
}

void BannerRotation::WebBrowser1NavigateComplete2() {
    bannerLoaded_ = true;
}

void BannerRotation::WebBrowser1StatusTextChange(const QString& text) {
    // The browser's own error pages live at res:// addresses.
    if (text.contains(QLatin1String("res://"))) bannerHealthy_ = false;
}

}  // namespace hk::ads
