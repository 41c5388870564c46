#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <memory>

#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"

using namespace hk::skin;

namespace {
QImage filled(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}
}  // namespace

TEST(BitmapCollection, IndexOutsideTheItemsRaisesTheListError) {
    TCoolImages images;
    for (int i = 0; i < 9; ++i) images.Bitmaps().Add(filled(6, 6, qRgb(i, 0, 0)));
    EXPECT_EQ(qRed(images.Bitmaps()[8].Bitmap().pixel(0, 0)), 8);
    try {
        images.Bitmaps()[9];
        FAIL() << "no error for index 9";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (9)");
        EXPECT_EQ(e.index(), 9);
    }
    EXPECT_THROW(images.Bitmaps().Items(-1), EListError);
}

TEST(BitmapCollection, ItemsAndButtonsKeepTheirOwnCopies) {
    TCoolImages images;
    QImage source = filled(4, 4, qRgb(200, 100, 50));
    TBitmapItem& item = images.Bitmaps().Add(source);
    source.fill(qRgb(0, 0, 0));  // the caller's picture changes later
    EXPECT_EQ(item.Bitmap().pixel(1, 1), qRgb(200, 100, 50));

    TCoolBitmapButton button;
    button.setBitmap(item.Bitmap());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &press);  // darkens the button's face
    EXPECT_NE(button.Bitmap().pixel(1, 1), item.Bitmap().pixel(1, 1));
    EXPECT_EQ(item.Bitmap().pixel(1, 1), qRgb(200, 100, 50));

    TBitmapItem& other = images.Bitmaps().Add();
    other.Assign(item);
    EXPECT_EQ(other.Bitmap().pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(other.Index(), 1);
}

TEST(BitmapCollection, ChangesReachEveryRegisteredLinkInOrder) {
    TCoolImages images;
    images.Bitmaps().Add(filled(1, 1, 0));
    std::vector<int> calls;
    TCoolChangeLink a, b, unregistered;
    a.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &images);
        calls.push_back(1);
    };
    b.OnChange = [&](QObject*) { calls.push_back(2); };
    unregistered.OnChange = [&](QObject*) { calls.push_back(3); };
    images.RegisterChanges(&a);
    images.RegisterChanges(&b);
    images.Bitmaps()[0].setBitmap(filled(2, 2, 0));
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));

    // Unregistering twice, or a link never registered, changes nothing.
    images.UnRegisterChanges(&a);
    images.UnRegisterChanges(&a);
    images.UnRegisterChanges(&unregistered);
    EXPECT_EQ(a.CoolImages(), nullptr);
    EXPECT_EQ(b.CoolImages(), &images);
    EXPECT_EQ(images.LinkCount(), 1);
    calls.clear();
    images.Change();
    EXPECT_EQ(calls, (std::vector<int>{2}));
}

TEST(BitmapCollection, DestructionClearsLinksWithoutCallingThem) {
    auto images = std::make_unique<TCoolImages>();
    images->Bitmaps().Add(filled(1, 1, 0));
    images->Bitmaps().Add(filled(1, 1, 0));
    int calls = 0;
    TCoolChangeLink a, b;
    a.OnChange = b.OnChange = [&](QObject*) { ++calls; };
    images->RegisterChanges(&a);
    images->RegisterChanges(&b);
    images.reset();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(a.CoolImages(), nullptr);
    EXPECT_EQ(b.CoolImages(), nullptr);
}

TEST(BitmapCollection, DyingLinkUnregistersItself) {
    TCoolImages images;
    {
        TCoolChangeLink link;
        images.RegisterChanges(&link);
        EXPECT_EQ(images.LinkCount(), 1);
    }
    EXPECT_EQ(images.LinkCount(), 0);
    images.Change();  // must not touch the dead link
}
