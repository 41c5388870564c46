#include "window/TFormMain.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "browser/TCoolMemo.h"
#include "browser/game_browser.h"
#include "browser/session_database.h"
#include "database/DatabaseSession.h"
#include "printing/codes_printout.h"
#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"
#include "skin/TabcSplash.h"
#include "toolkit/codepage.h"
#include "toolkit/dock_layout.h"
#include "toolkit/fonts.h"
#include "window/TFormAbout.h"
#include "window/accessibility.h"
#include "window/artwork.h"
#include "window/button_faces.h"
#include "window/plain_controls.h"
#include "window/title_bar_drag.h"

namespace hk::window {

namespace {

void FillCollection(hk::skin::TCoolImages* images, const std::vector<QImage>& bitmaps,
                    const std::vector<QImage>& doubles) {
    for (size_t i = 0; i < bitmaps.size(); ++i)
        images->Bitmaps().Add(bitmaps[i], i < doubles.size() ? doubles[i] : QImage());
}

}  // namespace

TFormMain::TFormMain(std::string programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      programFolder_(std::move(programFolder)),
      session_(std::make_unique<hk::database::DatabaseSession>(programFolder_)),
      sessionDb_(std::make_unique<hk::browser::SessionDatabase>(*session_)),
      ads_(std::make_unique<BasicAdPanel>()) {
    InstallAccessibility();
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Hintkeeper"));
    setFont(hk::toolkit::makeFont("MS Sans Serif", 11));
    resize(777, 433);
    setMinimumSize(785, 460);

    const Artwork art = LoadArtwork();
    setWindowIcon(art.windowIcon);
    CoolImages1 = new hk::skin::TCoolImages(this);
    CoolImages1->setObjectName(QStringLiteral("CoolImages1"));
    FillCollection(CoolImages1, art.coolImages1, art.coolImages1x2);
    CoolImages2 = new hk::skin::TCoolImages(this);
    CoolImages2->setObjectName(QStringLiteral("CoolImages2"));
    FillCollection(CoolImages2, art.coolImages2, art.coolImages2x2);

    CreateControls();
    Image1->setPicture(art.bannerStrip, art.bannerStrip2x);
    for (size_t i = 0; i < RxGIFAnimator.size(); ++i) {
        const QByteArray& gif = art.banners[i];
        std::string error;
        RxGIFAnimator[i]->loadImage(
            std::span(reinterpret_cast<const unsigned char*>(gif.constData()),
                      static_cast<size_t>(gif.size())),
            error);
    }
    BindFaces();

    hk::browser::BrowserControls c;
    c.CLB_Games = CLB_Games;
    c.CoolMemo1 = CoolMemo1;
    c.Edit1 = Edit1;
    c.setCodesHeader = [this](const QString& s) {
        CoolPanel6->setCaption(s);
        CoolMemo1->setAccessibleName(s);  // the view is heard by the header above it
    };
    c.setSolutionURL = [this](const QString& s) { SolutionURLLabel->setURL(s); };
    c.CoolBitmapButton1 = CoolBitmapButton1;
    c.CoolBitmapButton2 = CoolBitmapButton2;
    c.CoolBitmapButton3 = CoolBitmapButton3;
    c.CoolBitmapButton5 = CoolBitmapButton5;
    c.CoolBitmapButton9 = CoolBitmapButton9;
    browser_ = new hk::browser::GameBrowser(*sessionDb_, c, ads_->CheatPageBase(), this);
    browser_->OnDatabaseFailure = [this] { ReportDatabaseFailure(); };
    ApplyVendorSite();

    // The reader keeps the window alive while it extracts.
    session_->UnZip1().OnProgress = [](int, int) { QCoreApplication::processEvents(); };
    sessionDb_->OnFetchEnded = [this] {
        if (activationDeferred_) {
            activationDeferred_ = false;
            RequestActivation();
        }
    };

    // Title bar, window buttons, bottom bar. The title-bar panels' mouse events
    // are read in eventFilter, with the pointer's screen position: positions
    // local to a window that is moving under the pointer go stale.
    titleBarDrag_ = std::make_unique<TitleBarDrag>(*this);
    for (auto* bar : {CoolPanel12, CoolPanel13, CoolPanel14}) {
        bar->installEventFilter(this);
        bar->OnDblClick = [this](QObject*) { CoolPanel14DblClick(); };
    }
    CoolBitmapButton1->OnClick = [this](QObject*) { browser_->CoolBitmapButton1Click(); };
    CoolBitmapButton2->OnClick = [this](QObject*) { browser_->CoolBitmapButton2Click(); };
    CoolBitmapButton3->OnClick = [this](QObject*) { CoolBitmapButton3Click(); };
    CoolBitmapButton4->OnClick = [this](QObject*) { CoolBitmapButton4Click(); };
    CoolBitmapButton5->OnClick = [this](QObject*) { CoolBitmapButton5Click(); };
    CoolBitmapButton6->OnClick = [this](QObject*) { CoolBitmapButton6Click(); };
    CoolBitmapButton7->OnClick = [this](QObject*) { CoolBitmapButton7Click(); };
    CoolBitmapButton8->OnClick = [this](QObject*) { CoolBitmapButton8Click(); };
    CoolBitmapButton9->OnClick = [this](QObject*) { CoolBitmapButton9Click(); };
    Splitter1->OnMoved = [this](QObject*) { Splitter1Moved(); };
    // Each banner opens the address of one hidden label, as a click on it would.
    hk::skin::TRzURLLabel* bannerTargets[5] = {RzURLLabel_FlashGames, RzURLLabel_WallpapersGirls,
                                               RzURLLabel_MerrowGames, RzURLLabel_FlashGames,
                                               RzURLLabel_FlashGames};
    for (size_t i = 0; i < RxGIFAnimator.size(); ++i) {
        auto* target = bannerTargets[i];
        RxGIFAnimator[i]->OnClick = [target](QObject*) { target->Click(); };
    }
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();

#ifdef HK_HAVE_PRINTING
    printout_ = std::make_shared<hk::printing::CodesPrintout>(this);
#endif

    ShowErrorBox = [this](const QString& message) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), message, QMessageBox::Ok,
                        this);
        box.exec();
    };

    WatchActivation();

    // FormCreate: the window stays hidden and carries the release in its text.
    hide();
    setWindowTitle(QStringLiteral("Hintkeeper v1.30"));

    abcSplash1 = new hk::skin::TabcSplash(this);
    abcSplash1->setObjectName(QStringLiteral("abcSplash1"));
    abcSplash1->Duration = 2000;
    abcSplash1->BevelWidth = 1;
    abcSplash1->Picture = art.splash;
    abcSplash1->Picture2x = art.splash2x;
    abcSplash1->OnHide = [this](QObject*) { abcSplash1Hide(); };
}

TFormMain::~TFormMain() = default;

void TFormMain::setAdPanel(std::unique_ptr<AdPanel> ads) {
    ads_ = std::move(ads);
    ApplyVendorSite();
}

void TFormMain::ApplyVendorSite() {
    browser_->SetCheatPageBase(ads_->CheatPageBase());
    SolutionURLLabel->setCaption(QStringLiteral("Для просмотра информации необходимо\n"
                                                "подключиться к сети интернет\n"
                                                "и перейти на сайт %1\nнажав эту ссылку")
                                     .arg(ads_->VendorHost()));
}

void TFormMain::BindFaces() {
    // normal, hover, pressed, mouse-up
    hk::window::BindFaces(CoolBitmapButton1, CoolImages1, {3, 4, 8, 4});
    hk::window::BindFaces(CoolBitmapButton2, CoolImages1, {1, 2, 7, 2});
    hk::window::BindFaces(CoolBitmapButton3, CoolImages1, {10, 11, 12, 11});
    hk::window::BindFaces(CoolBitmapButton5, CoolImages1, {13, 14, 15, 13});
    hk::window::BindFaces(CoolBitmapButton4, CoolImages1, {16, 17, 18, 17});
    hk::window::BindFaces(CoolBitmapButton6, CoolImages1, {19, 20, 21, 20});
    hk::window::BindFaces(CoolBitmapButton7, CoolImages1, {22, 23, 24, 23});
    hk::window::BindFaces(CoolBitmapButton8, CoolImages1, {26, 27, 28, 26});
    hk::window::BindFaces(CoolBitmapButton9, CoolImages1, {29, 30, 31, 29});
}

void TFormMain::StartSplash() {
    // Reading the layout ends with the splash's AutoShow; the no-splash switch
    // keeps it hidden, and then nothing would ever show the window.
    abcSplash1->setAutoShow(true);
    const bool splashShown = abcSplash1->window() && abcSplash1->window()->isVisible();
    if (!splashShown) abcSplash1Hide();
}

void TFormMain::abcSplash1Hide() {
    show();
    raise();
    activateWindow();
    // The first activation runs whether or not the platform reports one.
    RequestActivation();
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    // Centred on the work area of the screen the program starts on, where the
    // splash showed: the primary one, whatever screen Qt gave the window.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TFormMain::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (OnClosed) OnClosed();
}

void TFormMain::WatchActivation() {
    // The window's activation sequence reruns only when activation comes back
    // from another window of the program (the About box, a print window), not
    // when the user returns from another program. Popup menus and tooltips
    // do not count as windows here.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (!w || w == windowHandle()) return;
        const Qt::WindowType type = w->type();
        if (type == Qt::Popup || type == Qt::ToolTip) return;
        otherWindowWasActive_ = true;
    });
}

bool TFormMain::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && activatedOnce_ && otherWindowWasActive_) {
        otherWindowWasActive_ = false;
        RequestActivation();
    }
    if (e->type() == QEvent::WindowStateChange)
        CoolBitmapButton6->setAccessibleName(MaximiseButtonName());
    return QWidget::event(e);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != CoolPanel12 && watched != CoolPanel13 && watched != CoolPanel14)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* m = static_cast<QMouseEvent*>(event);
            CoolPanel12MouseDown(m->button(), m->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseMove: {
            const auto* m = static_cast<QMouseEvent*>(event);
            titleBarDrag_->Move(m->globalPosition().toPoint(), m->buttons());
            break;
        }
        case QEvent::MouseButtonRelease:
            titleBarDrag_->Release(static_cast<QMouseEvent*>(event)->button());
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormMain::RequestActivation() {
    // Run from the event loop rather than inside whatever reported the
    // activation; several reports before it runs make one run.
    if (activationQueued_) return;
    activationQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        activationQueued_ = false;
        FormActivate();
    });
}

void TFormMain::FormActivate() {
    if (terminating_) return;
    // The reader allows one extraction at a time: an activation that arrives
    // while one runs (its event pump delivered it) waits until it has ended.
    if (sessionDb_->Extracting()) {
        activationDeferred_ = true;
        return;
    }
    activatedOnce_ = true;
    otherWindowWasActive_ = false;
    ++activationCount_;

    Edit1->clear();
    // Both counters start afresh, so the next search can select from its first
    // character whatever the previous search matched.
    browser_->Search().Reset(static_cast<int>(Edit1->text().size()), 0);
    if (auto* dock = dynamic_cast<hk::toolkit::DockLayout*>(CoolPanel4->layout()))
        dock->setAlign(CoolMemo1, hk::toolkit::Align::Client);
    ads_->ResetBannerSlot(*this);
    ads_->AssignLinkAddresses(*this);
    ads_->StartRotation(*this);

    std::vector<std::string> titles = browser_->Games();
    const bool ok = sessionDb_->LoadIndex(titles);
    if (terminating_) return;
    if (ok) {
        browser_->SetGames(std::move(titles));
        browser_->SetItemIndex(0);
        CLB_Games->setFocus();
        CoolPanel2->setCaption(QStringLiteral("Список игр (всего: %1)").arg(browser_->GameCount()));
        CLB_Games->setAccessibleName(CoolPanel2->Caption());
        browser_->ActionViewCodes()->trigger();
        Timer1->start();
    } else {
        Timer1->stop();
        ReportDatabaseFailure();
    }
}

void TFormMain::ReportDatabaseFailure() {
    if (terminating_) return;
    terminating_ = true;
    Timer1->stop();
    if (AdTimer) AdTimer->stop();
    ShowErrorBox(hk::toolkit::fromCp1251(session_->ErrorMessage()));
    QCoreApplication::exit(1);
}

void TFormMain::Timer1Timer() {
    QCoreApplication::processEvents();
    Timer1->stop();
}

void TFormMain::CoolBitmapButton3Click() {
    close();
}
void TFormMain::CoolBitmapButton7Click() {
    close();
}

void TFormMain::CoolBitmapButton4Click() {
    showMinimized();
}

void TFormMain::CoolBitmapButton6Click() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TFormMain::CoolBitmapButton5Click() {
    RzURLLabel_UpdateHintkeeper->Click();
}

void TFormMain::CoolBitmapButton8Click() {
    if (!FormAbout_) return;
    FormAbout_->Image1->setPicture(abcSplash1->Picture, abcSplash1->Picture2x);
    FormAbout_->exec();
    // The window is active again. Platforms that report it run the sequence
    // through event(); asking here as well costs nothing, as requests merge.
    RequestActivation();
}

void TFormMain::CoolBitmapButton9Click() {
#ifdef HK_HAVE_PRINTING
    const int k = browser_->ItemIndex();
    const auto& modes = session_->DisplayModes();
    const std::string title =
        k >= 0 && k < browser_->GameCount() ? browser_->Games()[static_cast<size_t>(k)] : "";
    const std::string mode =
        k >= 0 && static_cast<size_t>(k) < modes.size() ? modes[static_cast<size_t>(k)] : "";
    printout_->CoolBitmapButton9Click(k, title, mode, CoolMemo1->Lines());
    RequestActivation();
#endif
}

void TFormMain::CoolPanel12MouseDown(Qt::MouseButton button, QPoint globalPos) {
    // Any button: the window follows the pointer until that button is released.
    titleBarDrag_->Press(button, globalPos);
}

void TFormMain::CoolPanel14DblClick() {
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
        showNormal();
    else
        showMaximized();
}

void TFormMain::Splitter1Moved() {
    CoolPanel10->resize(Splitter1->x() + 2, CoolPanel10->height());
    if (QLayout* dock = CoolPanel3->layout()) {
        dock->invalidate();
        dock->setGeometry(CoolPanel3->rect());
    }
    CoolPanel10->repaint();
    CoolBitmapButton1->repaint();
    CoolBitmapButton2->repaint();
}

}  // namespace hk::window
