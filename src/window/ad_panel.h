#pragma once

#include <QObject>
#include <QRandomGenerator>
#include <QString>

namespace hk::window {

class TFormMain;

// The banner slot and the link addresses, as the activation sequence drives
// them. The advertising code supplies the real rotation; the window falls
// back to BasicAdPanel, which keeps the slot tidy and the links usable.
class AdPanel {
  public:
    virtual ~AdPanel() = default;

    // Hides the web banner (its own visibility off too) at (-2, -2) and the
    // five animations, stopped, at (0, 0).
    virtual void ResetBannerSlot(TFormMain& form) = 0;
    // Gives the hidden link labels and the About box's label their targets.
    virtual void AssignLinkAddresses(TFormMain& form) = 0;
    // Seeds the generator, sets AdTimer to 30 s, enables it and rotates once.
    virtual void StartRotation(TFormMain& form) = 0;

    // Host name of the vendor site, as the link caption names it.
    virtual QString VendorHost() const = 0;
    // The address an online-only entry's identifier is appended to.
    virtual QString CheatPageBase() const {
        return "http://" + VendorHost() + "/cheats/cheat.phtml?id=";
    }
};

// Without the advertising code: the slot shows one animation, chosen at random
// at every turn of AdTimer, and the links point at the vendor site.
class BasicAdPanel : public AdPanel {
  public:
    ~BasicAdPanel() override;
    void ResetBannerSlot(TFormMain& form) override;
    void AssignLinkAddresses(TFormMain& form) override;
    void StartRotation(TFormMain& form) override;
    QString VendorHost() const override;

    // One turn of the slot: AdTimer's tick.
    void Rotate(TFormMain& form);

  private:
    QRandomGenerator random_;
    QMetaObject::Connection tick_;
};

}  // namespace hk::window
