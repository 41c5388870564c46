#pragma once

#include <QDialog>

namespace hk::skin {
class TCoolBitmapButton;
class TCoolPanel;
class TRzURLLabel;
}  // namespace hk::skin

namespace hk::window {

class TFormMain;
class TImage;
class TPanel;

// The About box: modal, borderless, fixed 332 x 317, skinned from the main
// window's collections, which it borrows. It cannot be moved or maximised.
class TFormAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TFormAbout(TFormMain& formMain);

    void CoolBitmapButton7Click();
    void CoolBitmapButton3Click();

    hk::skin::TCoolPanel *CoolPanel1 = nullptr, *CoolPanel2 = nullptr, *CoolPanel3 = nullptr,
                         *CoolPanel4 = nullptr, *CoolPanel5 = nullptr, *CoolPanel6 = nullptr,
                         *CoolPanel12 = nullptr, *CoolPanel13 = nullptr, *CoolPanel14 = nullptr,
                         *CoolPanel15 = nullptr, *CoolPanel16 = nullptr, *CoolPanel17 = nullptr,
                         *CoolPanel18 = nullptr, *CoolPanel19 = nullptr, *CoolPanel20 = nullptr;
    hk::skin::TCoolBitmapButton *CoolBitmapButton7 = nullptr, *CoolBitmapButton3 = nullptr;
    TImage* Image1 = nullptr;
    TPanel* Panel1 = nullptr;
    hk::skin::TRzURLLabel* RzURLLabel1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace hk::window
