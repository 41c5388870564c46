#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextEdit>

#include "toolkit/read_only_text_accessible.h"

namespace {

using hk::toolkit::ReadOnlyTextAccessibleFactory;

template <class View>
void ExpectReadableNotTakeable() {
    // Before any view exists: Qt keeps the interface it made first.
    static const bool installed =
        (QAccessible::installFactory(ReadOnlyTextAccessibleFactory), true);
    ASSERT_TRUE(installed);
    View view;
    EXPECT_EQ(ReadOnlyTextAccessibleFactory({}, &view), nullptr);  // editable: Qt's own
    view.setReadOnly(true);
    view.setPlainText(QStringLiteral("первая\nвторая"));
    view.resize(200, 100);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->editableTextInterface(), nullptr);
    QAccessibleTextInterface* t = a->textInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->characterCount(), 13);
    EXPECT_EQ(t->text(0, -1), "первая\nвторая");
    EXPECT_EQ(t->text(4, 9), "ая\nвт");
    t->setSelection(0, 2, 8);
    t->addSelection(0, 3);
    EXPECT_EQ(t->selectionCount(), 0);
    t->setCursorPosition(8);
    EXPECT_EQ(view.textCursor().position(), 8);
    EXPECT_FALSE(view.textCursor().hasSelection());
}

TEST(ReadOnlyTextAccessible, PlainAndRichViewsOfferTextButNoEditing) {
    ExpectReadableNotTakeable<QPlainTextEdit>();
    ExpectReadableNotTakeable<QTextEdit>();
}

}  // namespace
