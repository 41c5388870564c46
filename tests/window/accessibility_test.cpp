#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "browser/TCoolMemo.h"
#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolPanel.h"
#include "skin/TRzURLLabel.h"
#include "test_database.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace {

using hk::window::TFormMain;

QAccessibleInterface* A(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

// The two windows over a small database, activated as at start-up.
class ScreenReader : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::unique_ptr<TFormMain> form;
    std::unique_ptr<hk::window::TFormAbout> about;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        hk::testing::WriteTestDatabase(dir.filePath("hintkeeper.dat").toStdString(),
                                       {{"Doom (PC)", "1", {"IDDQD\tбессмертие"}},
                                        {"Doom II (PC)", "0", {"Длинный текст."}},
                                        {"Quake (PC)", "0", {"***Номер:7731"}}});
        form = std::make_unique<TFormMain>(dir.path().toStdString() + "/");
        about = std::make_unique<hk::window::TFormAbout>(*form);
        form->setAbout(about.get());
        form->show();
        form->FormActivate();
    }
    QString Header() const { return form->CoolPanel6->Caption(); }
    bool WaitForHeader(const QString& title) {
        QElapsedTimer t;
        t.start();
        while (Header() != title && t.elapsed() < 5000) QTest::qWait(10);
        return Header() == title;
    }
};

TEST_F(ScreenReader, HearsEveryControlByRoleAndName) {
    EXPECT_EQ(A(form.get())->role(), QAccessible::Window);
    EXPECT_EQ(A(form.get())->text(QAccessible::Name), "Hintkeeper v1.30");
    const std::pair<QWidget*, QString> buttons[] = {
        {form->CoolBitmapButton4, "Свернуть"},
        {form->CoolBitmapButton6, "Развернуть"},
        {form->CoolBitmapButton7, "Закрыть"},
        {form->CoolBitmapButton3, "Выход"},
        {form->CoolBitmapButton5, "Проверить обновление"},
        {form->CoolBitmapButton1, "Вперёд"},
        {form->CoolBitmapButton2, "Назад"},
        {form->CoolBitmapButton8, "О программе"},
        {form->CoolBitmapButton9, "Печать"},
        {about->CoolBitmapButton7, "Закрыть"},
        {about->CoolBitmapButton3, "Закрыть"}};
    for (const auto& [button, name] : buttons) {
        EXPECT_EQ(A(button)->role(), QAccessible::Button) << name.toStdString();
        EXPECT_EQ(A(button)->text(QAccessible::Name), name);
        EXPECT_TRUE(A(button)->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }
    form->CoolBitmapButton6->Click();
    EXPECT_EQ(A(form->CoolBitmapButton6)->text(QAccessible::Name), "Восстановить");
    form->CoolBitmapButton6->Click();
    EXPECT_EQ(A(form->CoolBitmapButton6)->text(QAccessible::Name), "Развернуть");

    EXPECT_EQ(A(form->Edit1)->text(QAccessible::Name), "Поиск");
    EXPECT_EQ(A(form->CLB_Games)->text(QAccessible::Name), "Список игр (всего: 3)");
    EXPECT_EQ(A(form->CoolMemo1)->text(QAccessible::Name), "Doom (PC)");
    EXPECT_EQ(A(form->CoolPanel6)->role(), QAccessible::StaticText);
    EXPECT_EQ(A(form->CoolPanel14)->role(), QAccessible::Client);  // no caption: frame
    EXPECT_EQ(A(about->CoolPanel14)->text(QAccessible::Name), "О программе");
    EXPECT_EQ(A(about->RzURLLabel1)->role(), QAccessible::Link);
    EXPECT_EQ(A(about->RzURLLabel1)->text(QAccessible::Name), "Заказать рекламу в программе");
    // The online-only notice is heard only once the codes view no longer covers it.
    EXPECT_TRUE(A(form->SolutionURLLabel)->state().invisible);
    form->CLB_Games->setCurrentRow(2);
    EXPECT_FALSE(A(form->SolutionURLLabel)->state().invisible);
    EXPECT_TRUE(A(form->SolutionURLLabel)->text(QAccessible::Name).endsWith("нажав эту ссылку"));
}

TEST_F(ScreenReader, ReadsTheCodesViewButCannotTakeOrSelectIt) {
    QAccessibleInterface* view = A(form->CoolMemo1);
    EXPECT_EQ(view->editableTextInterface(), nullptr);
    QAccessibleTextInterface* text = view->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(view->state().readOnly);
    EXPECT_EQ(text->text(0, text->characterCount()), "IDDQD   бессмертие");
    text->addSelection(0, 5);
    text->setSelection(0, 0, 5);
    EXPECT_FALSE(form->CoolMemo1->textCursor().hasSelection());
    EXPECT_EQ(form->CoolMemo1->SelLength(), 0);
}

TEST_F(ScreenReader, ActionsGoThePathOfAClick) {
    A(form->CoolBitmapButton1)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(WaitForHeader("Doom II (PC)"));
    // Selecting an item shows its game, as a click on it does.
    QAccessibleInterface* item = A(form->CLB_Games)->tableInterface()->cellAt(0, 0);
    ASSERT_NE(item, nullptr);
    item->actionInterface()->doAction(item->actionInterface()->actionNames().value(0));
    EXPECT_TRUE(WaitForHeader("Doom (PC)"));
    EXPECT_EQ(form->CLB_Games->currentRow(), 0);
    // A disabled button does nothing.
    form->CoolBitmapButton1->setEnabled(false);
    A(form->CoolBitmapButton1)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();  // where a queued click would run
    EXPECT_EQ(Header(), "Doom (PC)");
}

}  // namespace
