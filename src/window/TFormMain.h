#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "window/ad_panel.h"

class QAction;
class QLineEdit;
class QListWidget;
class QMenu;
class QTimer;

namespace hk::database {
class DatabaseSession;
}
namespace hk::skin {
class TCoolImages;
class TCoolPanel;
class TCoolBitmapButton;
class TRzURLLabel;
class TRxGIFAnimator;
class TabcSplash;
}  // namespace hk::skin
namespace hk::printing {
class CodesPrintout;
}

namespace hk::browser {
class GameBrowser;
class SessionDatabase;
class TCoolMemo;
}  // namespace hk::browser

namespace hk::window {

class TFormAbout;
class TImage;
class TitleBarDrag;
class TPanel;
class TSplitter;

// The main window: borderless, drawn from the two bitmap collections, owning
// the database session and every component of the program for the whole run.
class TFormMain : public QWidget {
    Q_OBJECT
  public:
    // `programFolder` ends with a path separator; the database lies in it.
    // Nothing is shown yet: ShowAfterSplash (or the splash) does that.
    explicit TFormMain(std::string programFolder, QWidget* parent = nullptr);
    ~TFormMain() override;

    void setAbout(TFormAbout* about) { FormAbout_ = about; }
    void setAdPanel(std::unique_ptr<AdPanel> ads);
    AdPanel& Ads() { return *ads_; }

    // Starts the splash; when it cannot show (no-splash switch) the window is
    // shown at once, since nothing else would ever show it.
    void StartSplash();

    // Activation sequence; runs when the window becomes active coming from
    // another window of the program, or when called.
    void FormActivate();
    int ActivationCount() const { return activationCount_; }

    // The database failure: error box, then the program ends with status 1.
    void ReportDatabaseFailure();
    bool Terminating() const { return terminating_; }
    // Shows the error box; replaceable so a caller can watch what is shown.
    std::function<void(const QString& message)> ShowErrorBox;
    // Runs when the window has closed: the program ends with it.
    std::function<void()> OnClosed;

    // Handlers, named after their controls.
    void abcSplash1Hide();
    void Timer1Timer();
    void CoolBitmapButton3Click();  // exit
    void CoolBitmapButton7Click();  // close
    void CoolBitmapButton4Click();  // minimise
    void CoolBitmapButton6Click();  // maximise / restore
    void CoolBitmapButton5Click();  // update
    void CoolBitmapButton8Click();  // About box
    void CoolBitmapButton9Click();  // print
    void CoolPanel12MouseDown(Qt::MouseButton button, QPoint globalPos);
    void CoolPanel14DblClick();
    void Splitter1Moved();

    hk::browser::GameBrowser& Browser() { return *browser_; }
    hk::database::DatabaseSession& Database() { return *session_; }
    hk::browser::SessionDatabase& DatabaseGuard() { return *sessionDb_; }
    const std::string& ProgramFolder() const { return programFolder_; }

    // Components, named as the rest of the program knows them.
    hk::skin::TCoolImages* CoolImages1 = nullptr;
    hk::skin::TCoolImages* CoolImages2 = nullptr;
    hk::skin::TabcSplash* abcSplash1 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* AdTimer = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;

    TPanel *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr,
           *Panel5 = nullptr, *Panel6 = nullptr;
    hk::skin::TCoolPanel *CoolPanel1 = nullptr, *CoolPanel2 = nullptr, *CoolPanel3 = nullptr,
                         *CoolPanel4 = nullptr, *CoolPanel5 = nullptr, *CoolPanel6 = nullptr,
                         *CoolPanel7 = nullptr, *CoolPanel8 = nullptr, *CoolPanel9 = nullptr,
                         *CoolPanel10 = nullptr, *CoolPanel11 = nullptr, *CoolPanel12 = nullptr,
                         *CoolPanel13 = nullptr, *CoolPanel14 = nullptr, *CoolPanel15 = nullptr,
                         *CoolPanel16 = nullptr, *CoolPanel17 = nullptr, *CoolPanel18 = nullptr,
                         *CoolPanel19 = nullptr, *CoolPanel20 = nullptr, *CoolPanel21 = nullptr;
    hk::skin::TCoolBitmapButton *CoolBitmapButton1 = nullptr, *CoolBitmapButton2 = nullptr,
                                *CoolBitmapButton3 = nullptr, *CoolBitmapButton4 = nullptr,
                                *CoolBitmapButton5 = nullptr, *CoolBitmapButton6 = nullptr,
                                *CoolBitmapButton7 = nullptr, *CoolBitmapButton8 = nullptr,
                                *CoolBitmapButton9 = nullptr;
    TImage* Image1 = nullptr;
    std::array<hk::skin::TRxGIFAnimator*, 5> RxGIFAnimator{};  // RxGIFAnimator1 ... 5
    QWidget* WebBrowser1 = nullptr;                            // the slot the web banner lives in
    TSplitter* Splitter1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QListWidget* CLB_Games = nullptr;
    hk::skin::TRzURLLabel* SolutionURLLabel = nullptr;
    hk::browser::TCoolMemo* CoolMemo1 = nullptr;
    hk::skin::TRzURLLabel *RzURLLabel_WallpapersGirls = nullptr, *RzURLLabel_FlashGames = nullptr,
                          *RzURLLabel_HintkeeperSite = nullptr, *RzURLLabel_MerrowGames = nullptr,
                          *RzURLLabel_UpdateHintkeeper = nullptr;

    TFormAbout* FormAbout() const { return FormAbout_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void NameControls();
    // What the maximise/restore button does now, as a screen reader says it.
    QString MaximiseButtonName() const;
    void BindFaces();
    void WatchActivation();
    void ApplyVendorSite();
    void RequestActivation();

    std::string programFolder_;
    std::unique_ptr<hk::database::DatabaseSession> session_;
    std::unique_ptr<hk::browser::SessionDatabase> sessionDb_;
    std::unique_ptr<AdPanel> ads_;
    hk::browser::GameBrowser* browser_ = nullptr;
    // Shared only so that the deleter is bound where the print-out is made.
    std::shared_ptr<hk::printing::CodesPrintout> printout_;
    TFormAbout* FormAbout_ = nullptr;
    std::unique_ptr<TitleBarDrag> titleBarDrag_;

    bool shownOnce_ = false;
    bool activatedOnce_ = false;
    bool otherWindowWasActive_ = false;
    bool activationQueued_ = false;
    bool activationDeferred_ = false;
    bool terminating_ = false;
    int activationCount_ = 0;
};

}  // namespace hk::window
