#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "browser/TCoolMemo.h"
#include "browser/game_browser.h"
#include "database/DatabaseSession.h"
#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"
#include "skin/TabcSplash.h"
#include "test_database.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"
#include "window/plain_controls.h"
#include "window/title_bar_drag.h"

namespace {

using hk::window::TFormMain;

// Runs the event loop until `done` holds or `ms` have passed.
template <class F>
bool WaitFor(F done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QTest::qWait(10);
    return done();
}

// The main window and the About box over a small database in a folder of
// their own, activated as at start-up (without the splash's two seconds).
class MainWindow : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::unique_ptr<TFormMain> form;
    std::unique_ptr<hk::window::TFormAbout> about;
    std::vector<QString> errors;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        hk::testing::WriteTestDatabase(
            dir.filePath("hintkeeper.dat").toStdString(),
            {{"Doom (PC)", "1", {"IDDQD\tбессмертие", "IDKFA\tвсё оружие"}},
             {"Doom II (PC)", "0", {"Длинный текст о второй части."}},
             {"Quake (PC)", "0", {"***Номер:7731"}},
             {"Wolfenstein 3D (PC)", "1", {"MLI\tвсё"}}});
        form = std::make_unique<TFormMain>(dir.path().toStdString() + "/");
        about = std::make_unique<hk::window::TFormAbout>(*form);
        form->setAbout(about.get());
        form->ShowErrorBox = [this](const QString& m) { errors.push_back(m); };
        form->show();
        form->FormActivate();
    }
    void TearDown() override {
        about.reset();
        form.reset();
    }
    QString Header() const { return form->CoolPanel6->Caption(); }
};

TEST_F(MainWindow, ActivationFillsListAndShowsFirstGame) {
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->CLB_Games->count(), 4);
    EXPECT_EQ(form->CoolPanel2->Caption(), "Список игр (всего: 4)");
    EXPECT_EQ(form->CLB_Games->currentRow(), 0);
    EXPECT_EQ(Header(), "Doom (PC)");
    EXPECT_EQ(form->CoolMemo1->toPlainText(), "IDDQD   бессмертие\nIDKFA   всё оружие");
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->windowTitle(), "Hintkeeper v1.30");
    EXPECT_TRUE(form->Timer1->isActive());
    // The banner slot shows one animation, running; the rotation ticks every 30 s.
    int shown = 0;
    for (auto* gif : form->RxGIFAnimator) {
        EXPECT_EQ(gif->pos(), QPoint(0, 0));
        EXPECT_EQ(gif->isVisible(), gif->Animate());
        shown += gif->isVisible();
    }
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(form->WebBrowser1->isVisible());
    EXPECT_TRUE(form->AdTimer->isActive());
    EXPECT_EQ(form->AdTimer->interval(), 30000);
}

TEST_F(MainWindow, ReactivationReloadsAndResetsSelectionAndSearch) {
    form->Edit1->setText("quake");
    EXPECT_EQ(form->CLB_Games->currentRow(), 2);
    form->FormActivate();
    EXPECT_EQ(form->CLB_Games->currentRow(), 0);
    EXPECT_EQ(Header(), "Doom (PC)");
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    // The search starts afresh: one letter selects again.
    form->Edit1->setText("w");
    EXPECT_EQ(Header(), "Wolfenstein 3D (PC)");
}

TEST_F(MainWindow, ClosingTheAboutBoxRunsActivationAgain) {
    form->Edit1->setText("w");
    ASSERT_EQ(form->CLB_Games->currentRow(), 3);
    const int before = form->ActivationCount();
    QTimer::singleShot(100, about.get(), [this] {
        EXPECT_TRUE(about->isVisible());
        EXPECT_FALSE(about->Image1->Picture().isNull() && !form->abcSplash1->Picture.isNull());
        about->CoolBitmapButton3->Click();
    });
    form->CoolBitmapButton8Click();
    EXPECT_FALSE(about->isVisible());
    // Activation comes back through the event loop.
    EXPECT_TRUE(WaitFor([&] { return form->ActivationCount() == before + 1; }));
    EXPECT_EQ(form->CLB_Games->currentRow(), 0);
    EXPECT_TRUE(form->Edit1->text().isEmpty());
}

TEST_F(MainWindow, ActivationArrivingDuringAFetchWaitsUntilItEnds) {
    // The reader pumps events while it extracts; an activation delivered then
    // must not start a second extraction inside the first.
    bool fired = false;
    int countInside = -1;
    const int before = form->ActivationCount();
    form->Database().UnZip1().OnProgress = [&](int, int) {
        if (fired) return;
        fired = true;
        form->FormActivate();
        countInside = form->ActivationCount();
    };
    form->CoolBitmapButton1->Click();
    ASSERT_TRUE(fired);
    EXPECT_EQ(countInside, before);
    EXPECT_EQ(Header(), "Doom II (PC)");  // the interrupted view finished
    EXPECT_TRUE(WaitFor([&] { return form->ActivationCount() == before + 1; }));
    EXPECT_EQ(form->CLB_Games->currentRow(), 0);
    EXPECT_EQ(Header(), "Doom (PC)");
    EXPECT_TRUE(errors.empty());
}

TEST_F(MainWindow, ClickAndKeysFromInsideTheIndexLoadStartNoSecondExtraction) {
    // On a re-activation the list and the buttons are live while the index
    // loads, and the reader's progress events deliver what the user does.
    int depth = 0, deepest = 0;
    bool delivered = false;
    form->Database().UnZip1().OnProgress = [&](int, int) {
        ++depth;
        deepest = std::max(deepest, depth);
        if (!delivered) {
            delivered = true;
            auto* list = form->CLB_Games;
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(3)).center());
            QTest::keyClick(list, Qt::Key_Up);
            QTest::keyClick(list, Qt::Key_Return);
            QTest::keyClick(form->Edit1, Qt::Key_Q);
            QTest::mouseClick(form->CoolBitmapButton1, Qt::LeftButton, {}, QPoint(5, 5));
        }
        --depth;
    };
    form->FormActivate();
    ASSERT_TRUE(delivered);
    EXPECT_EQ(deepest, 1);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->CLB_Games->count(), 4);
    EXPECT_EQ(Header(), "Doom (PC)");
}

// The names of the controls Tab visits from `start` until it comes back.
QStringList TabCycle(QWidget* window, QWidget* start) {
    window->activateWindow();
    EXPECT_TRUE(WaitFor([window] { return QApplication::activeWindow() == window; }));
    start->setFocus(Qt::OtherFocusReason);
    QStringList names;
    for (QWidget* f = start; names.size() < 30;) {
        QTest::keyClick(f, Qt::Key_Tab);
        f = QApplication::focusWidget();
        if (!f || f == start) break;
        names << f->objectName();
    }
    return names;
}

TEST_F(MainWindow, TabFollowsTheLayoutOrderInBothWindows) {
    EXPECT_EQ(
        TabCycle(form.get(), form->CLB_Games),
        QStringList({"CoolBitmapButton4", "CoolBitmapButton6", "CoolBitmapButton7",
                     "CoolBitmapButton3", "CoolBitmapButton5", "CoolBitmapButton1",
                     "CoolBitmapButton2", "CoolBitmapButton8", "CoolBitmapButton9", "Edit1"}));
    about->show();
    EXPECT_EQ(TabCycle(about.get(), about->CoolBitmapButton7), QStringList({"CoolBitmapButton3"}));
    about->hide();
}

// Run on a desktop whose primary screen, where the program starts, lies right
// of and below another (see two_screens.json).
class StartScreen : public MainWindow {};

TEST_F(StartScreen, SplashAndFirstShowCentreOnTheScreenTheProgramStartsOn) {
    const QScreen* start = QGuiApplication::primaryScreen();
    if (start->geometry().topLeft().isNull()) GTEST_SKIP() << "needs the two-screen desktop";
    EXPECT_EQ(form->geometry().center(), start->availableGeometry().center());
    form->abcSplash1->Show();
    ASSERT_NE(form->abcSplash1->window(), nullptr);
    EXPECT_EQ(form->abcSplash1->window()->geometry().center(), start->geometry().center());
}

TEST_F(MainWindow, BothAboutCloseButtonsCloseIt) {
    QTimer::singleShot(50, about.get(), [this] { about->CoolBitmapButton7->Click(); });
    form->CoolBitmapButton8Click();
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(about->CoolPanel14->Caption(), "О программе");
    EXPECT_EQ(about->size(), QSize(332, 317));
}

TEST_F(MainWindow, OnlineEntryAndBack) {
    form->CLB_Games->setCurrentRow(2);  // as a user's selection
    EXPECT_FALSE(form->CoolMemo1->isVisible());
    EXPECT_TRUE(form->SolutionURLLabel->isVisible());
    EXPECT_FALSE(form->CoolBitmapButton9->isVisible());
    EXPECT_TRUE(form->SolutionURLLabel->URL().endsWith("/cheats/cheat.phtml?id=7731"));
    EXPECT_TRUE(form->SolutionURLLabel->Caption().contains("нажав эту ссылку"));
    form->CoolBitmapButton1->Click();
    EXPECT_EQ(Header(), "Wolfenstein 3D (PC)");
    EXPECT_TRUE(form->CoolMemo1->isVisible());
    EXPECT_TRUE(form->CoolBitmapButton9->isVisible());
}

TEST_F(MainWindow, LayoutConstraintsAndEdges) {
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_GE(form->width(), 785);
    EXPECT_GE(form->height(), 460);
    EXPECT_EQ(form->CoolPanel9->size(), QSize(468, 60));
    EXPECT_EQ(form->CoolMemo1->parentWidget(), form->CoolPanel4);
    // Widening the window moves the banner slot and the right-hand buttons
    // with the right edge; the list column and the logo stay.
    const int slotRightGap = form->CoolPanel8->width() - form->CoolPanel9->geometry().right();
    const int exitRightGap =
        form->CoolPanel3->width() - form->CoolBitmapButton3->geometry().right();
    const int listWidth = form->CoolPanel5->width();
    const QPoint arrows = form->CoolPanel11->pos();
    form->resize(form->width() + 200, form->height() + 50);
    QApplication::processEvents();
    EXPECT_EQ(form->CoolPanel8->width() - form->CoolPanel9->geometry().right(), slotRightGap);
    EXPECT_EQ(form->CoolPanel3->width() - form->CoolBitmapButton3->geometry().right(),
              exitRightGap);
    EXPECT_EQ(form->CoolPanel9->size(), QSize(468, 60));
    EXPECT_EQ(form->CoolPanel5->width(), listWidth);
    EXPECT_EQ(form->CoolPanel11->pos(), arrows);
    EXPECT_EQ(form->Image1->pos(), QPoint(0, 0));
}

TEST_F(MainWindow, TitleBarDoubleClickAndMaximiseButtonToggle) {
    ASSERT_FALSE(form->isMaximized());
    form->CoolPanel14DblClick();
    EXPECT_TRUE(form->isMaximized());
    form->CoolPanel14DblClick();
    EXPECT_FALSE(form->isMaximized());
    form->CoolBitmapButton6->Click();
    EXPECT_TRUE(form->isMaximized());
    form->CoolBitmapButton6->Click();
    EXPECT_FALSE(form->isMaximized());
}

// The title bar, driven through the window as the platform delivers the
// pointer: positions in screen coordinates turned into the window's own.
TEST_F(MainWindow, TitleBarDragFollowsAnyButtonUntilThatButtonIsReleased) {
    QWindow* w = form->windowHandle();
    ASSERT_NE(w, nullptr);
    const QPoint onBar = form->CoolPanel14->mapTo(form.get(), QPoint(200, 12));
    auto pointerAt = [w](QPoint global) { return global - w->geometry().topLeft(); };
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        SCOPED_TRACE(button);
        const QPoint start = form->pos();
        const QPoint press = w->mapToGlobal(onBar);
        QTest::mousePress(w, button, {}, onBar);
        QTest::mouseMove(w, pointerAt(press + QPoint(3, 2)));
        EXPECT_EQ(form->pos(), start);  // within the drag distance
        QTest::mouseMove(w, pointerAt(press + QPoint(120, 70)));
        EXPECT_EQ(form->pos(), start + QPoint(120, 70));
        QTest::mouseMove(w, pointerAt(press + QPoint(-40, 30)));
        EXPECT_EQ(form->pos(), start + QPoint(-40, 30));
        QTest::mouseRelease(w, button, {}, pointerAt(press + QPoint(-40, 30)));
        QTest::mouseMove(w, pointerAt(press + QPoint(100, 30)));
        EXPECT_EQ(form->pos(), start + QPoint(-40, 30));
    }
    // Only the button that started the move ends it.
    const QPoint start = form->pos();
    const QPoint press = w->mapToGlobal(onBar);
    QTest::mousePress(w, Qt::LeftButton, {}, onBar);
    QTest::mouseMove(w, pointerAt(press + QPoint(50, 0)));
    QTest::mouseClick(w, Qt::RightButton, {}, pointerAt(press + QPoint(50, 0)));
    QTest::mouseMove(w, pointerAt(press + QPoint(80, 10)));
    EXPECT_EQ(form->pos(), start + QPoint(80, 10));
    QTest::mouseRelease(w, Qt::LeftButton, {}, pointerAt(press + QPoint(80, 10)));
}

// Releases that another window's grab took: a fresh press starts afresh from
// its own point, and a pointer moving with only another button down ends the
// drag rather than dragging on.
TEST_F(MainWindow, TitleBarDragSurvivesLostReleases) {
    hk::window::TitleBarDrag drag(*form);
    const QPoint first(300, 200), second(380, 205);
    const QPoint start = form->pos();
    drag.Press(Qt::LeftButton, first);
    drag.Move(first + QPoint(60, 0), Qt::LeftButton);
    ASSERT_EQ(form->pos(), start + QPoint(60, 0));
    drag.Press(Qt::LeftButton, second);  // the release went elsewhere
    drag.Move(second + QPoint(30, 40), Qt::LeftButton);
    EXPECT_EQ(form->pos(), start + QPoint(90, 40));

    drag.Move(second + QPoint(70, 40), Qt::RightButton);
    EXPECT_EQ(form->pos(), start + QPoint(90, 40));
    drag.Move(second + QPoint(90, 40), Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(form->pos(), start + QPoint(90, 40));
}

TEST_F(MainWindow, TitleBarClickMovesNothingAndDoubleClickTogglesMaximisedOnce) {
    QWindow* w = form->windowHandle();
    ASSERT_NE(w, nullptr);
    const QPoint onBar = form->CoolPanel14->mapTo(form.get(), QPoint(200, 12));
    const QPoint start = form->pos();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(w, button, {}, onBar);
    EXPECT_EQ(form->pos(), start);
    EXPECT_FALSE(form->isMaximized());
    QTest::mouseDClick(w, Qt::LeftButton, {}, onBar);
    EXPECT_TRUE(form->isMaximized());
    // A maximised window does not follow a drag.
    const QPoint maximised = form->pos();
    QTest::mousePress(w, Qt::LeftButton, {}, onBar);
    QTest::mouseMove(w, onBar + QPoint(100, 100));
    QTest::mouseRelease(w, Qt::LeftButton, {}, onBar + QPoint(100, 100));
    EXPECT_EQ(form->pos(), maximised);
    QTest::mouseDClick(w, Qt::LeftButton, {}, onBar);
    EXPECT_FALSE(form->isMaximized());
    EXPECT_EQ(form->pos(), start);
}

TEST_F(MainWindow, SplitterResizesListColumnWithinBoundsAndBottomBarFollows) {
    auto drag = [this](int dx) {
        auto* s = form->Splitter1;
        const QPoint start(3, 10);
        QTest::mousePress(s, Qt::LeftButton, {}, start);
        QTest::mouseMove(s, start + QPoint(dx, 0));
        QTest::mouseRelease(s, Qt::LeftButton, {}, start + QPoint(dx, 0));
        QApplication::processEvents();
    };
    drag(250 - form->CoolPanel5->width());
    EXPECT_EQ(form->CoolPanel5->width(), 250);
    EXPECT_EQ(form->Splitter1->x(), 250);
    EXPECT_EQ(form->CoolPanel10->width(), 252);
    drag(500);
    EXPECT_EQ(form->CoolPanel5->width(), 400);
    EXPECT_EQ(form->CoolPanel10->width(), 402);
    drag(-500);
    EXPECT_EQ(form->CoolPanel5->width(), 220);
    EXPECT_EQ(form->CoolPanel10->width(), 222);
    // Escape during a drag leaves the column as it was.
    QTest::mousePress(form->Splitter1, Qt::LeftButton, {}, QPoint(3, 10));
    QTest::mouseMove(form->Splitter1, QPoint(90, 10));
    QTest::keyClick(form->CLB_Games, Qt::Key_Escape);
    QTest::mouseRelease(form->Splitter1, Qt::LeftButton, {}, QPoint(90, 10));
    EXPECT_EQ(form->CoolPanel5->width(), 220);
    EXPECT_EQ(form->CoolPanel10->width(), 222);
    // The arrow holder keeps its centre at the same share of the bar.
    const QRect holder = form->CoolPanel11->geometry();
    EXPECT_NEAR(holder.x() + holder.width() / 2.0, 222 * 140.5 / 297, 1.5);
}

// Each bitmap of CoolImages1 made distinct, so a button's face tells its index.
class ButtonFaces : public MainWindow {
  protected:
    void SetUp() override {
        MainWindow::SetUp();
        auto& bitmaps = form->CoolImages1->Bitmaps();
        ASSERT_GE(bitmaps.Count(), 35);
        for (int i = 0; i < bitmaps.Count(); ++i) {
            QImage face(22, 22, QImage::Format_RGB32);
            face.fill(qRgb(i, 100, 200));
            bitmaps[i].setBitmap(face);
        }
    }
    static int Face(const hk::skin::TCoolBitmapButton* b) { return qRed(b->Bitmap().pixel(3, 3)); }
    static void Enter(QWidget* w) {
        QEnterEvent e(QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)), w->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(w, &e);
    }
    static void Leave(QWidget* w) {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(w, &e);
    }
};

TEST_F(ButtonFaces, EveryButtonShowsTheFacesOfItsOwnRow) {
    struct Row {
        hk::skin::TCoolBitmapButton* button;
        int normal, hover, pressed, up;
    };
    const Row rows[] = {
        {form->CoolBitmapButton1, 3, 4, 8, 4},      {form->CoolBitmapButton2, 1, 2, 7, 2},
        {form->CoolBitmapButton3, 10, 11, 12, 11},  {form->CoolBitmapButton5, 13, 14, 15, 13},
        {form->CoolBitmapButton4, 16, 17, 18, 17},  {form->CoolBitmapButton6, 19, 20, 21, 20},
        {form->CoolBitmapButton7, 22, 23, 24, 23},  {form->CoolBitmapButton8, 26, 27, 28, 26},
        {form->CoolBitmapButton9, 29, 30, 31, 29},  {about->CoolBitmapButton7, 22, 23, 24, 23},
        {about->CoolBitmapButton3, 32, 33, 34, 32},
    };
    for (const Row& row : rows) {
        auto* b = row.button;
        SCOPED_TRACE(::testing::Message() << "row " << &row - rows + 1 << " of the table");
        Enter(b);
        EXPECT_EQ(Face(b), row.hover);
        // The right mouse button swaps the faces as the left does, without a click.
        QTest::mousePress(b, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_EQ(Face(b), row.pressed);
        QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_EQ(Face(b), row.up);
        Leave(b);
        EXPECT_EQ(Face(b), row.normal);
    }
}

TEST_F(ButtonFaces, NextButtonHoverPressReleaseLeave) {
    auto* b = form->CoolBitmapButton1;
    Enter(b);
    EXPECT_EQ(Face(b), 4);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 8);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 4);
    EXPECT_EQ(Header(), "Doom II (PC)");  // the click ran
    Leave(b);
    EXPECT_EQ(Face(b), 3);
}

TEST_F(ButtonFaces, RightClickOnPrintShowsPressedThenNormalAndPrintsNothing) {
    auto* b = form->CoolBitmapButton9;
    Enter(b);
    EXPECT_EQ(Face(b), 30);
    QTest::mousePress(b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 31);
    QTest::mouseRelease(b, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 29);
    // No modal print window opened: the window is still the active one.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ButtonFaces, AboutButtonReturnsToNormalFaceAfterTheBoxCloses) {
    auto* b = form->CoolBitmapButton8;
    Enter(b);
    QTimer::singleShot(50, about.get(), [this] { about->CoolBitmapButton3->Click(); });
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 28);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Face(b), 26);
}

TEST_F(ButtonFaces, ReleaseAwayFromButtonRaisesNoClickButShowsUpFace) {
    auto* b = form->CoolBitmapButton1;
    Enter(b);
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(Face(b), 4);
    EXPECT_EQ(Header(), "Doom (PC)");
}

TEST_F(ButtonFaces, CloseButtonsOfBothWindowsShareTheirFaces) {
    for (auto* b : {form->CoolBitmapButton7, about->CoolBitmapButton7}) {
        Enter(b);
        EXPECT_EQ(Face(b), 23);
        Leave(b);
        EXPECT_EQ(Face(b), 22);
    }
}

TEST_F(MainWindow, ContextMenuOffersOnlyTheInertItem) {
    ASSERT_EQ(form->PopupMenu1->actions().size(), 1);
    EXPECT_EQ(form->PopupMenu1->actions()[0]->text(), "Копирование запрещено");
    const int before = form->ActivationCount();
    form->PopupMenu1->actions()[0]->trigger();
    EXPECT_EQ(form->ActivationCount(), before);
    EXPECT_EQ(Header(), "Doom (PC)");
}

}  // namespace

// Where a logical pixel covers two device pixels the window draws the doubled
// artwork at the same places: the About button its 2x face, the title bar its 2x strip.
TEST_F(MainWindow, HighDensityScreensGetTheDoubledArtwork) {
    auto renderAt2 = [](QWidget* w) {
        QImage out(w->size() * 2, QImage::Format_RGB32);
        out.setDevicePixelRatio(2);
        w->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
        out.setDevicePixelRatio(1);
        return out;
    };
    const QImage face =
        QImage(":/assets/coolimages1/26@2x.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(face.size(), QSize(44, 44));
    EXPECT_EQ(renderAt2(form->CoolBitmapButton8), face);
    const QImage strip =
        QImage(":/assets/coolimages2/01@2x.bmp").convertToFormat(QImage::Format_RGB32);
    const QImage bar = renderAt2(form->CoolPanel14);
    ASSERT_EQ(bar.height(), strip.height());
    for (int y = 0; y < strip.height(); ++y) EXPECT_EQ(bar.pixel(101, y), strip.pixel(0, y)) << y;
}
