#pragma once
// The banner slot: every 30 seconds it shows one of the five built-in animations, at
// random, or the web banner when the banner page has loaded cleanly since the last
// turn. The web banner is never shown while it loads; it loads behind an animation.

#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <array>
#include <functional>

class QTimer;
class QWidget;

namespace hk::skin {
class TRxGIFAnimator;
}
namespace hk::toolkit {
class WebBrowser;
}

namespace hk::ads {

struct BannerSlot {
    std::array<hk::skin::TRxGIFAnimator*, 5> RxGIFAnimator{};
    QWidget* WebBrowser1 = nullptr;              // the control shown and hidden in the slot
    hk::toolkit::WebBrowser* browser = nullptr;  // the browser inside it (may be the same)
    QTimer* AdTimer = nullptr;
};

class BannerRotation : public QObject {
    Q_OBJECT
  public:
    static constexpr int kRotationMs = 30000;

    BannerRotation(BannerSlot slot, QString bannerPage, QObject* parent = nullptr);

    // Activation: the web banner hidden with its own visibility off at (-2, -2), the
    // animations hidden and stopped at (0, 0).
    void ResetBannerSlot();
    // Activation: a fresh seed, the timer at 30 s and one turn at once.
    void StartRotation();

    // One turn of the slot.
    void AdTimerTimer();
    void WebBrowser1NavigateComplete2();
    void WebBrowser1StatusTextChange(const QString& text);

    bool BannerLoaded() const { return bannerLoaded_; }
    bool BannerHealthy() const { return bannerHealthy_; }
    // The animation (1 ... 5) the last turn chose, 0 when it showed the web banner.
    int LastChoice() const { return lastChoice_; }
    const QString& BannerPage() const { return bannerPage_; }

    // Seed taken at each activation; the clock unless a test fixes it.
    std::function<quint32()> SeedSource;

  private:
    BannerSlot slot_;
    QString bannerPage_;
    QRandomGenerator random_;
    bool bannerLoaded_ = false;
    bool bannerHealthy_ = true;
    int lastChoice_ = 0;
};

}  // namespace hk::ads
