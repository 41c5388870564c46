#include "browser/game_browser.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

#include "browser/TCoolMemo.h"
#include "browser/depth_span.h"
#include "database/codes_text.h"
#include "database/database_constants.h"
#include "toolkit/codepage.h"
#include "toolkit/fonts.h"

namespace hk::browser {

GameBrowser::GameBrowser(CodesDatabase& database, BrowserControls controls, QString cheatPageBase,
                         QObject* parent)
    : QObject(parent),
      database_(database),
      c_(std::move(controls)),
      cheatPageBase_(std::move(cheatPageBase)),
      search_([](const std::string& s) { return hk::toolkit::upperCaseCp1251(s); }),
      actionViewCodes_(new QAction(QStringLiteral("ActionViewCodes"), this)) {
    actionViewCodes_->setObjectName(QStringLiteral("ActionViewCodes"));
    connect(actionViewCodes_, &QAction::triggered, this, [this] { ViewCodes(); });
    // A selection change by the user (mouse or arrow keys) is the list's click;
    // the program's own changes go through SetItemIndex, which blocks it.
    connect(c_.CLB_Games, &QListWidget::currentRowChanged, this, [this] { CLB_GamesClick(); });
    // Assistive technology selects an item without making it current; the
    // list then moves there as for a click, busy rule and all. Queued, so that
    // the list's own moves, which select before they change the current row,
    // have finished and leave nothing to follow.
    connect(
        c_.CLB_Games, &QListWidget::itemSelectionChanged, this, [this] { FollowSelection(); },
        Qt::QueuedConnection);
    c_.CLB_Games->installEventFilter(this);
    connect(c_.Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
}

void GameBrowser::SetGames(std::vector<std::string> titlesCp1251) {
    titles_ = std::move(titlesCp1251);
    // The list, the header, the search and the print-out's heading lay out or
    // scan a whole title; one of many megabytes in a hostile "games.txt"
    // would stall the window for a minute. None shows more than fits.
    for (auto& t : titles_) {
        if (t.size() > hk::database::kMaxTitleLength)
            t = t.substr(0, hk::database::kMaxTitleLength);
    }
    search_.SetTitles(titles_);
    QStringList items;
    items.reserve(static_cast<qsizetype>(titles_.size()));
    for (const auto& t : titles_) items.push_back(hk::toolkit::fromCp1251(t));
    const QSignalBlocker block(c_.CLB_Games);
    c_.CLB_Games->clear();
    c_.CLB_Games->addItems(items);
}

void GameBrowser::SetItemIndex(int k) {
    const QSignalBlocker block(c_.CLB_Games);
    c_.CLB_Games->setCurrentRow(k);
}

int GameBrowser::ItemIndex() const {
    return c_.CLB_Games->currentRow();
}

void GameBrowser::SetNavigationEnabled(bool enabled) {
    for (QWidget* b :
         {c_.CoolBitmapButton1, c_.CoolBitmapButton2, c_.CoolBitmapButton3, c_.CoolBitmapButton5})
        if (b) b->setEnabled(enabled);
}

void GameBrowser::ViewCodes() {
    // The reader pumps window events while it extracts and runs one
    // extraction at a time: a click, key or search delivered from inside one
    // (a view's fetch or the activation's index load) must not start another.
    if (Busy()) return;
    bool ok = true;
    {
        const DepthSpan viewing(viewing_);
        SetNavigationEnabled(false);

        const int k = ItemIndex();
        const auto& names = database_.MemberNames();
        FetchResult fetched;
        // With no current game there is nothing to fetch; that is a database
        // failure like any other, never a read outside the lists.
        if (k >= 0 && static_cast<size_t>(k) < names.size())
            fetched = database_.FetchMember(names[k]);
        if (fetched.raised) ok = false;

        if (fetched.memberCount == 1) {
            // In place: a text of a mebi of lines is not copied for the few with a TAB.
            for (auto& line : fetched.lines)
                if (line.find('\t') != std::string::npos) line = hk::database::ExpandTabs(line);
            c_.CoolMemo1->SetLines(std::move(fetched.lines));
            if (c_.setCodesHeader && static_cast<size_t>(k) < titles_.size())
                c_.setCodesHeader(hk::toolkit::fromCp1251(titles_[k]));
        } else {
            ok = false;
        }

        ApplyDisplayMode(k);
        SetNavigationEnabled(true);
        ApplyOnlineTest();
    }

    if (!ok && OnDatabaseFailure) OnDatabaseFailure();
}

void GameBrowser::ApplyDisplayMode(int k) {
    const auto& modes = database_.DisplayModes();
    const bool fixedPitch = k >= 0 && static_cast<size_t>(k) < modes.size() &&
                            modes[k] == hk::database::kFixedPitchMode;
    TCoolMemo* memo = c_.CoolMemo1;
    // Height and colour stay as laid out; only the face, the pitch, wrapping
    // and the scroll bars change with the mode.
    QFont font = memo->font();
    const int height = font.pixelSize() > 0 ? font.pixelSize() : 12;
    QFont mode = hk::toolkit::makeFont(fixedPitch ? "Courier New" : "Arial", height, font.bold(),
                                       font.italic(), font.underline());
    mode.setFixedPitch(fixedPitch);
    memo->setFont(mode);
    memo->SetWordWrap(!fixedPitch);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(fixedPitch ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void GameBrowser::ApplyOnlineTest() {
    TCoolMemo* memo = c_.CoolMemo1;
    const auto& lines = memo->Lines();
    const std::string first = lines.empty() ? std::string() : lines.front();
    const size_t p = hk::database::OnlineMarkerPosition(first);
    // Only 0 and 1 can match, so two display lines tell as much as all of them.
    const int n = memo->DisplayLineCount(2);
    // One line with the marker at an odd place, or nothing at all.
    if (static_cast<int>(p % 2) == n) {
        memo->hide();
        const std::string id = first.size() > 9 ? first.substr(9) : std::string();
        if (c_.setSolutionURL) c_.setSolutionURL(cheatPageBase_ + hk::toolkit::fromCp1251(id));
        if (c_.CoolBitmapButton9) c_.CoolBitmapButton9->hide();
    } else {
        memo->show();
        if (c_.CoolBitmapButton9) c_.CoolBitmapButton9->show();
    }
}

void GameBrowser::FollowSelection() {
    const QList<QListWidgetItem*> selected = c_.CLB_Games->selectedItems();
    if (selected.size() != 1) return;
    const int row = c_.CLB_Games->row(selected.front());
    if (row != ItemIndex()) c_.CLB_Games->setCurrentRow(row);  // raises CLB_GamesClick
}

void GameBrowser::CLB_GamesClick() {
    if (!Busy()) actionViewCodes_->trigger();
}

void GameBrowser::CLB_GamesKeyUp(int key) {
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Busy()) actionViewCodes_->trigger();
}

// The arrows are disabled while a view runs, but not during the index load:
// there they do nothing rather than move the selection away from the view.
void GameBrowser::CoolBitmapButton1Click() {
    if (Busy()) return;
    const int k = ItemIndex();
    if (k < GameCount() - 1) {
        SetItemIndex(k + 1);
        actionViewCodes_->trigger();
    }
}

void GameBrowser::CoolBitmapButton2Click() {
    if (Busy()) return;
    const int k = ItemIndex();
    if (k > 0) {
        SetItemIndex(k - 1);
        actionViewCodes_->trigger();
    }
}

void GameBrowser::Edit1Change() {
    const std::string text = hk::toolkit::toCp1251(c_.Edit1->text());
    const auto found = search_.Change(text);
    if (!found) return;
    SetItemIndex(*found);
    if (!Busy()) actionViewCodes_->trigger();
}

bool GameBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c_.CLB_Games && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) CLB_GamesKeyUp(key->key());
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace hk::browser
