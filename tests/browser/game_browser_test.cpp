#include "browser/game_browser.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <map>

#include "browser/TCoolMemo.h"
#include "toolkit/codepage.h"

namespace {

using hk::browser::FetchResult;
using hk::toolkit::utf8ToCp1251;

// A database held in memory that remembers every fetch.
class FakeDatabase : public hk::browser::CodesDatabase {
  public:
    std::map<std::string, std::vector<std::string>> members;  // name -> lines (Windows-1251)
    std::vector<std::string> names, modes;
    std::vector<std::string> fetched;
    std::function<void()> duringFetch;

    FetchResult FetchMember(const std::string& name) override {
        fetched.push_back(name);
        if (duringFetch) duringFetch();
        FetchResult r;
        auto it = members.find(name);
        if (it == members.end()) return r;
        r.memberCount = 1;
        r.lines = it->second;
        return r;
    }
    const std::vector<std::string>& MemberNames() const override { return names; }
    const std::vector<std::string>& DisplayModes() const override { return modes; }
    std::string ErrorMessage() const override { return "damaged"; }
    bool Extracting() const override { return false; }
};

class Browser : public ::testing::Test {
  protected:
    QWidget window;
    QListWidget* list = new QListWidget(&window);
    hk::browser::TCoolMemo* memo = new hk::browser::TCoolMemo(&window);
    QLineEdit* edit = new QLineEdit(&window);
    QPushButton* next = new QPushButton(&window);
    QPushButton* prev = new QPushButton(&window);
    QPushButton* exitButton = new QPushButton(&window);
    QPushButton* update = new QPushButton(&window);
    QPushButton* print = new QPushButton(&window);
    QString header, url;
    int failures = 0;
    FakeDatabase db;
    std::unique_ptr<hk::browser::GameBrowser> browser;

    void SetUp() override {
        window.resize(400, 300);
        memo->setGeometry(0, 0, 300, 200);
        hk::browser::BrowserControls c;
        c.CLB_Games = list;
        c.CoolMemo1 = memo;
        c.Edit1 = edit;
        c.setCodesHeader = [this](const QString& s) { header = s; };
        c.setSolutionURL = [this](const QString& s) { url = s; };
        c.CoolBitmapButton1 = next;
        c.CoolBitmapButton2 = prev;
        c.CoolBitmapButton3 = exitButton;
        c.CoolBitmapButton5 = update;
        c.CoolBitmapButton9 = print;
        browser = std::make_unique<hk::browser::GameBrowser>(db, c, "http://vendor/id=");
        browser->OnDatabaseFailure = [this] { ++failures; };
        window.show();
    }

    // Adds a game whose member holds `textUtf8` split at '\n'.
    void AddGame(const std::string& title, const std::string& mode,
                 std::vector<std::string> lines) {
        const std::string member = "m" + std::to_string(db.names.size()) + ".txt";
        for (auto& l : lines) l = utf8ToCp1251(l);
        db.members[member] = lines;
        db.names.push_back(member);
        db.modes.push_back(mode);
        titles.push_back(utf8ToCp1251(title));
    }
    void Start() {
        browser->SetGames(titles);
        browser->SetItemIndex(0);
        browser->ViewCodes();
    }
    std::vector<std::string> titles;
};

TEST_F(Browser, ViewShowsExpandedTextAndTitle) {
    AddGame("Doom (PC)", "1", {"IDDQD\tgod mode", "IDKFA\tall keys"});
    Start();
    ASSERT_EQ(memo->Lines().size(), 2u);
    EXPECT_EQ(memo->Lines()[0], "IDDQD   god mode");
    EXPECT_EQ(memo->toPlainText(), "IDDQD   god mode\nIDKFA   all keys");
    EXPECT_EQ(header, "Doom (PC)");
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(print->isVisible());
    EXPECT_TRUE(next->isEnabled() && prev->isEnabled() && exitButton->isEnabled() &&
                update->isEnabled());
    EXPECT_EQ(failures, 0);
}

TEST_F(Browser, NextOnLastAndPreviousOnFirstDoNothing) {
    AddGame("A", "0", {"a"});
    AddGame("B", "0", {"b"});
    Start();
    browser->CoolBitmapButton2Click();
    EXPECT_EQ(db.fetched.size(), 1u);
    EXPECT_EQ(browser->ItemIndex(), 0);
    browser->CoolBitmapButton1Click();
    EXPECT_EQ(browser->ItemIndex(), 1);
    EXPECT_EQ(header, "B");
    browser->CoolBitmapButton1Click();
    EXPECT_EQ(db.fetched.size(), 2u);
    browser->CoolBitmapButton2Click();
    EXPECT_EQ(header, "A");
    EXPECT_EQ(db.fetched.size(), 3u);
}

TEST_F(Browser, ArrowKeysAndEnterInTheListViewTheGame) {
    AddGame("A", "0", {"a"});
    AddGame("B", "0", {"b"});
    AddGame("C", "0", {"c"});
    Start();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(header, "B");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(header, "C");
    EXPECT_EQ(db.fetched.size(), 3u);
    // Enter re-reads the current game.
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(db.fetched.size(), 4u);
    EXPECT_EQ(db.fetched.back(), "m2.txt");
    // A mouse click on another row.
    const QRect r = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(header, "A");
}

TEST_F(Browser, SettingTheIndexFromTheProgramRaisesNoClick) {
    AddGame("A", "0", {"a"});
    AddGame("B", "0", {"b"});
    Start();
    browser->SetItemIndex(1);
    EXPECT_EQ(db.fetched.size(), 1u);
}

TEST_F(Browser, DisplayModeFollowsTheGame) {
    AddGame("Fixed", "1", {"x"});
    AddGame("Prop", "0", {"y"});
    AddGame("Empty mode", "", {"z"});
    Start();
    EXPECT_FALSE(memo->WordWrap());
    EXPECT_TRUE(memo->font().fixedPitch());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QString fixedFamily = memo->font().family();
    browser->CoolBitmapButton1Click();
    EXPECT_TRUE(memo->WordWrap());
    EXPECT_FALSE(memo->font().fixedPitch());
    EXPECT_NE(memo->font().family(), fixedFamily);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    browser->CoolBitmapButton1Click();
    EXPECT_TRUE(memo->WordWrap());
    browser->CoolBitmapButton2Click();
    browser->CoolBitmapButton2Click();
    EXPECT_FALSE(memo->WordWrap());
}

TEST_F(Browser, OnlineEntryShowsLinkAndHidesPrintUntilNextOrdinaryGame) {
    AddGame("Online", "0", {"***Номер:7731"});
    AddGame("Two lines", "0", {"***Номер:7731", "more"});
    AddGame("Marker later", "0", {"a***Номер:5"});
    Start();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_FALSE(print->isVisible());
    EXPECT_EQ(url, "http://vendor/id=7731");
    url.clear();
    browser->CoolBitmapButton1Click();
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(print->isVisible());
    EXPECT_TRUE(url.isEmpty());
    // The marker at an even position is ordinary text.
    browser->CoolBitmapButton1Click();
    EXPECT_TRUE(memo->isVisible());
}

TEST_F(Browser, EmptyMemberLeadsToLinkModeWithEmptyIdentifier) {
    AddGame("Text", "0", {"t"});
    AddGame("Empty", "0", {});
    Start();
    browser->CoolBitmapButton1Click();
    EXPECT_FALSE(memo->isVisible());
    EXPECT_FALSE(print->isVisible());
    EXPECT_EQ(url, "http://vendor/id=");
    EXPECT_EQ(header, "Empty");
}

TEST_F(Browser, MarkerLineThatWrapsIsNotOnlineOnly) {
    // With word wrap on, the view's lines are its display lines: a marker line
    // long enough to wrap counts as two and is shown as text.
    AddGame("Long", "0", {"***Номер:" + std::string(400, '7')});
    AddGame("Long fixed", "1", {"***Номер:" + std::string(400, '7')});
    Start();
    EXPECT_GT(memo->DisplayLineCount(), 1);
    EXPECT_TRUE(memo->isVisible());
    browser->CoolBitmapButton1Click();
    EXPECT_EQ(memo->DisplayLineCount(), 1);
    EXPECT_FALSE(memo->isVisible());
}

TEST_F(Browser, FailedFetchKeepsViewButAppliesModeAndReports) {
    AddGame("Good", "0", {"good text"});
    AddGame("Bad", "1", {"x"});
    db.members.erase("m1.txt");
    Start();
    browser->CoolBitmapButton1Click();
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(memo->toPlainText(), "good text");
    EXPECT_EQ(header, "Good");
    EXPECT_FALSE(memo->WordWrap());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_FALSE(browser->Busy());
}

TEST_F(Browser, ButtonsAreDisabledAndBusyOnlyWhileViewing) {
    AddGame("A", "0", {"a"});
    bool sawBusy = false, sawDisabled = false;
    db.duringFetch = [&] {
        sawBusy = browser->Busy();
        sawDisabled = !next->isEnabled() && !prev->isEnabled() && !exitButton->isEnabled() &&
                      !update->isEnabled() && print->isEnabled();
    };
    Start();
    EXPECT_TRUE(sawBusy);
    EXPECT_TRUE(sawDisabled);
    EXPECT_FALSE(browser->Busy());
}

TEST_F(Browser, ChangesDuringARunningViewMoveSelectionOnly) {
    AddGame("Alpha", "0", {"a"});
    AddGame("Beta", "0", {"b"});
    AddGame("Gamma", "0", {"g"});
    Start();
    bool once = false;
    db.duringFetch = [&] {
        if (once) return;
        once = true;
        edit->setText("g");                 // search moves the selection
        QTest::keyClick(list, Qt::Key_Up);  // list click while busy
        QTest::keyClick(list, Qt::Key_Return);
    };
    browser->CoolBitmapButton1Click();  // views Beta; the search fires inside
    EXPECT_EQ(db.fetched.size(), 2u);
    EXPECT_EQ(browser->ItemIndex(), 1);  // Gamma, then Up
    EXPECT_EQ(header, "Beta");
}

TEST_F(Browser, SearchBoxViewsTheChosenGame) {
    AddGame("Doom", "0", {"d1"});
    AddGame("Doom II", "0", {"d2"});
    AddGame("Wolfenstein", "0", {"w"});
    Start();
    edit->setText("w");
    EXPECT_EQ(header, "Wolfenstein");
    edit->setText("doom");
    EXPECT_EQ(header, "Doom");
    edit->setText("doom ");
    EXPECT_EQ(header, "Doom II");
    EXPECT_EQ(memo->toPlainText(), "d2");
    edit->setText("doom");
    EXPECT_EQ(header, "Doom");
    const size_t fetches = db.fetched.size();
    edit->clear();
    EXPECT_EQ(header, "Doom");
    EXPECT_EQ(db.fetched.size(), fetches);
}

TEST_F(Browser, KeyboardSelectionInTheViewIsUndone) {
    AddGame("A", "1", {"some text here", "second line"});
    Start();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(memo->SelLength(), 0);
    QTest::keyClick(memo, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(memo->SelLength(), 0);
    // A mouse selection is collapsed by the next key, before Ctrl+C can copy it.
    memo->selectAll();
    EXPECT_GT(memo->SelLength(), 0);
    QTest::keyPress(memo, Qt::Key_Control);
    EXPECT_EQ(memo->SelLength(), 0);
}

// Copy protection: whatever the user selects is shown, yet the text control
// itself never holds a selection, so no copy, primary selection or drag can
// be handed the text.
TEST_F(Browser, SelectionIsOnlyShownAndNothingReachesTheClipboard) {
    AddGame("A", "1", {"some text here", "second line"});
    Start();
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("left alone");
    auto at = [this](int position) {
        QTextCursor c(memo->document());
        c.setPosition(position);
        return memo->cursorRect(c).center();
    };
    auto shown = [this] {
        const auto s = memo->extraSelections();
        return s.isEmpty() ? QString() : s.front().cursor.selectedText();
    };

    QTest::mousePress(memo->viewport(), Qt::LeftButton, {}, at(0));
    QTest::mouseMove(memo->viewport(), at(9));
    QTest::mouseRelease(memo->viewport(), Qt::LeftButton, {}, at(9));
    EXPECT_EQ(memo->SelLength(), 9);
    EXPECT_EQ(shown(), "some text");
    EXPECT_FALSE(memo->textCursor().hasSelection());
    EXPECT_EQ(memo->textCursor().position(), 9);
    // Shift+click extends from the same anchor.
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, Qt::ShiftModifier, at(14));
    EXPECT_EQ(shown(), "some text here");

    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at(6));
    EXPECT_EQ(shown(), "text");
    EXPECT_FALSE(memo->textCursor().hasSelection());

    // The keyboard's selection shows while the key is down, then collapses.
    memo->setFocus();
    QTest::keyPress(memo, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(shown(), " here");
    EXPECT_FALSE(memo->textCursor().hasSelection());
    QTest::keyRelease(memo, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(memo->textCursor().position(), 14);
    QTest::keyPress(memo, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(memo->SelLength(), memo->document()->characterCount() - 1);
    EXPECT_FALSE(memo->textCursor().hasSelection());
    QTest::keyRelease(memo, Qt::Key_A, Qt::ControlModifier);

    QTest::mouseDClick(memo->viewport(), Qt::LeftButton, {}, at(2));
    QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), "left alone");
    EXPECT_EQ(memo->SelLength(), 0);
}

}  // namespace

// A hostile "games.txt" may hold a title of many megabytes: the list, the
// header and the search keep its first 1,024 characters and nothing more,
// while titles of ordinary length stay whole.
TEST_F(Browser, AnOverlongTitleIsBoundedInListHeaderAndSearch) {
    std::string huge(8 << 20, 'z');
    huge.replace(0, 4, "Long");
    AddGame("Short", "0", {"s"});
    titles.push_back(huge);
    db.names.push_back("m0.txt");
    db.modes.push_back("0");
    Start();
    EXPECT_EQ(list->item(0)->text(), "Short");
    EXPECT_EQ(list->item(1)->text(), QString(huge.substr(0, 1024).c_str()));
    EXPECT_EQ(browser->Games()[1].size(), 1024u);
    edit->setText("long" + QString(1100, 'z'));
    EXPECT_EQ(browser->ItemIndex(), 1);
    EXPECT_EQ(header.size(), 1024);
}
