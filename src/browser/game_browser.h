#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "browser/codes_database.h"
#include "browser/incremental_search.h"

class QAction;
class QLineEdit;
class QListWidget;
class QWidget;

namespace hk::browser {

class TCoolMemo;

// The controls of the main window that browsing drives. The window owns them;
// the browser only borrows them for the window's lifetime.
struct BrowserControls {
    QListWidget* CLB_Games = nullptr;
    TCoolMemo* CoolMemo1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    std::function<void(const QString&)> setCodesHeader;  // caption of CoolPanel6
    std::function<void(const QString&)> setSolutionURL;  // target of SolutionURLLabel
    QWidget* CoolBitmapButton1 = nullptr;                // next
    QWidget* CoolBitmapButton2 = nullptr;                // previous
    QWidget* CoolBitmapButton3 = nullptr;                // exit
    QWidget* CoolBitmapButton5 = nullptr;                // update
    QWidget* CoolBitmapButton9 = nullptr;                // print
};

// Game list, codes view, next/previous and the incremental search: every way
// of choosing a game ends in ActionViewCodes, whose handler is ViewCodes.
class GameBrowser : public QObject {
    Q_OBJECT
  public:
    // cheatPageBase is the vendor address that an online-only entry's
    // identifier is appended to.
    GameBrowser(CodesDatabase& database, BrowserControls controls, QString cheatPageBase,
                QObject* parent = nullptr);

    // Replaces the game list (Windows-1251 titles) without raising a click.
    // A title is kept to its first kMaxTitleLength characters.
    void SetGames(std::vector<std::string> titlesCp1251);
    const std::vector<std::string>& Games() const { return titles_; }
    int GameCount() const { return static_cast<int>(titles_.size()); }

    // Moves the list's selection from the program: raises no CLB_GamesClick.
    void SetItemIndex(int k);
    int ItemIndex() const;

    QAction* ActionViewCodes() const { return actionViewCodes_; }
    void ViewCodes();

    void CLB_GamesClick();
    void CLB_GamesKeyUp(int key);
    void CoolBitmapButton1Click();  // next
    void CoolBitmapButton2Click();  // previous
    void Edit1Change();

    void SetCheatPageBase(QString base) { cheatPageBase_ = std::move(base); }

    // A view is running, or the database is extracting (the activation's
    // index load included): nothing may start a view then.
    bool Busy() const { return viewing_ > 0 || database_.Extracting(); }
    IncrementalSearch& Search() { return search_; }

    // The view's fetch failed; the owner reports it and ends the program.
    std::function<void()> OnDatabaseFailure;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetNavigationEnabled(bool enabled);
    void FollowSelection();
    void ApplyDisplayMode(int k);
    void ApplyOnlineTest();

    CodesDatabase& database_;
    BrowserControls c_;
    QString cheatPageBase_;
    std::vector<std::string> titles_;
    IncrementalSearch search_;
    QAction* actionViewCodes_;
    int viewing_ = 0;  // ViewCodes runs in progress
};

}  // namespace hk::browser
