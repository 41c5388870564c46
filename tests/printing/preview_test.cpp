#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "printing/preview_form.h"
#include "toolkit/codepage.h"

using namespace hk::printing;

namespace {

// Three A4 pages with one line each, as a recording would leave them.
PageStream ThreePages() {
    PageStream s;
    s.pageWidth = 210 / 25.4;
    s.pageHeight = 297 / 25.4;
    for (int i = 1; i <= 3; ++i) {
        RecordedText t;
        t.font.face = "Courier New";
        t.font.size = 10;
        t.run = {pjLeft, 15 / 25.4, 20 / 25.4, 0, "page " + std::to_string(i)};
        s.pages.push_back({{t}});
    }
    return s;
}

TSystemPreview ProgramPreview() {
    TSystemPreview p;
    p.RulerType = rtBothCm;
    return p;
}

}  // namespace

TEST(PreviewZoom, RuleClampsAndSelectsTheFits) {
    EXPECT_EQ(TKxPreviewForm::ZoomRule(-5, 77, 44), 77);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(-1.9, 77, 44), 77);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(-1.89, 77, 44), 44);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(-0.001, 77, 44), 44);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(0, 77, 44), 10);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(5, 77, 44), 10);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(10, 77, 44), 10);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(123.4, 77, 44), 123.4);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(200, 77, 44), 200);
    EXPECT_EQ(TKxPreviewForm::ZoomRule(500, 77, 44), 200);
}

TEST(PreviewWindow, ToolbarHintsAndFieldsAsBuilt) {
    const PageStream pages = ThreePages();
    TKxPreviewForm form(nullptr, pages, ProgramPreview(), QStringLiteral("Предпросмотр печати"));
    const char* hints[] = {"Zoom In",   "Zoom Out",  "Zoom Page Width", "Zoom Whole Page",
                           "Prev Page", "Next Page", "Print",           "Done"};
    for (int i = 0; i < TKxPreviewForm::ButtonCount; ++i) {
        QToolButton* b = form.ToolButton(static_cast<TKxPreviewForm::Button>(i));
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(hints[i]));
        EXPECT_EQ(b->geometry(), QRect(8 + 24 * i, 8, 25, 25));
        EXPECT_FALSE(b->icon().isNull());
        // A screen reader hears the hint as the name and reaches it with Tab.
        EXPECT_EQ(b->accessibleName(), b->toolTip());
        EXPECT_TRUE(b->focusPolicy() & Qt::TabFocus);
    }
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Предпросмотр печати"));
}

TEST(PreviewWindow, PagesWalkAndStopAtTheEnds) {
    const PageStream pages = ThreePages();
    TKxPreviewForm form(nullptr, pages, ProgramPreview(), QStringLiteral("p"));
    form.resize(800, 600);
    form.show();
    EXPECT_EQ(form.PageLabel()->text(), QStringLiteral("Page 1 of 3"));
    form.PrevPage();
    EXPECT_EQ(form.CurrentPage(), 1);
    form.ToolButton(TKxPreviewForm::NextButton)->click();
    form.NextPage();
    form.NextPage();  // already on the last page
    EXPECT_EQ(form.CurrentPage(), 3);
    EXPECT_EQ(form.PageLabel()->text(), QStringLiteral("Page 3 of 3"));
    EXPECT_EQ(form.PageEdit()->text(), QStringLiteral("3"));

    form.PageEdit()->setText(QStringLiteral("1"));
    emit form.PageEdit()->editingFinished();
    EXPECT_EQ(form.CurrentPage(), 1);
    form.PageEdit()->setText(QStringLiteral("99"));
    emit form.PageEdit()->editingFinished();
    EXPECT_EQ(form.CurrentPage(), 3);
    form.PageEdit()->setText(QStringLiteral("-4"));
    emit form.PageEdit()->editingFinished();
    EXPECT_EQ(form.CurrentPage(), 1);
    form.PageEdit()->setText(QStringLiteral("two"));
    emit form.PageEdit()->editingFinished();
    EXPECT_EQ(form.CurrentPage(), 1);
    EXPECT_EQ(form.PageEdit()->text(), QStringLiteral("1"));
}

TEST(PreviewWindow, ZoomEditAndButtonsFollowTheRule) {
    const PageStream pages = ThreePages();
    TKxPreviewForm form(nullptr, pages, ProgramPreview(), QStringLiteral("p"));
    form.resize(800, 600);
    form.show();
    EXPECT_EQ(form.ZoomEdit()->text(), QStringLiteral("100.0"));
    auto typeZoom = [&](const char* text) {
        form.ZoomEdit()->setText(QString::fromLatin1(text));
        emit form.ZoomEdit()->editingFinished();
        return form.ZoomEdit()->text();
    };
    EXPECT_EQ(typeZoom("5"), QStringLiteral("10.0"));
    EXPECT_EQ(typeZoom("500"), QStringLiteral("200.0"));
    EXPECT_EQ(typeZoom("lots"), QStringLiteral("200.0"));
    form.ToolButton(TKxPreviewForm::ZoomOutButton)->click();
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 190);
    form.ZoomIn();
    form.ZoomIn();
    EXPECT_DOUBLE_EQ(form.ZoomFactor(), 200);
    form.ToolButton(TKxPreviewForm::ZoomPageButton)->click();
    const double whole = form.ZoomFactor();
    form.ToolButton(TKxPreviewForm::ZoomWidthButton)->click();
    const double width = form.ZoomFactor();
    EXPECT_LT(whole, width);  // a portrait page in a landscape box
    // The whole page fits the box: its image is no taller than the view.
    form.ToolButton(TKxPreviewForm::ZoomPageButton)->click();
    const QImage shown = form.RenderPage(1, form.ZoomFactor());
    EXPECT_LE(shown.height(), form.ScrollBox()->viewport()->height());
}

TEST(PreviewWindow, KeysMoveTheScrollBox) {
    const PageStream pages = ThreePages();
    TKxPreviewForm form(nullptr, pages, ProgramPreview(), QStringLiteral("p"));
    form.resize(500, 400);
    form.show();
    form.SetZoomFactor(200);
    QScrollBar* v = form.ScrollBox()->verticalScrollBar();
    QScrollBar* h = form.ScrollBox()->horizontalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    auto press = [&](QWidget* to, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(to, &e);
        return e.isAccepted();
    };
    press(&form, Qt::Key_End);
    EXPECT_EQ(v->value(), v->maximum());
    press(form.PageEdit(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(v->value(), 0);
    press(form.ZoomEdit(), Qt::Key_PageDown);
    EXPECT_EQ(v->value(), std::min(v->maximum(), form.ScrollBox()->viewport()->height()));
    press(&form, Qt::Key_Down);
    press(&form, Qt::Key_Up);
    press(&form, Qt::Key_PageUp);
    EXPECT_EQ(v->value(), 0);
    press(&form, Qt::Key_Right);  // without Ctrl: not a scroll key
    EXPECT_EQ(h->value(), 0);
    press(&form, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(h->value(), std::min(h->maximum(), h->singleStep()));
    press(&form, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
    press(&form, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    press(&form, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(h->value(), 0);
}

TEST(PreviewDrawing, RulersTicksAndPage) {
    const PageStream pages = ThreePages();
    TKxPreviewForm form(nullptr, pages, ProgramPreview(), QStringLiteral("p"));
    const double dpi = form.ScreenDpi();
    const QImage img = form.RenderPage(1, 100);
    const int pageW = static_cast<int>(std::lround(210 / 25.4 * dpi));
    EXPECT_EQ(img.width(), 20 + pageW + 1);
    const QRgb yellow = qRgb(255, 255, 128);
    EXPECT_EQ(img.pixel(5, 5), qRgb(192, 192, 192));  // corner
    auto column = [&](double mm) { return 20 + static_cast<int>(std::lround(mm * dpi / 25.4)); };
    // Centimetre ticks are 18 pixels, half centimetres 15, millimetres 5,
    // all from the band's inner edge outwards.
    EXPECT_EQ(img.pixel(column(20), 19), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(column(20), 2), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(column(25), 5), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(column(25), 3), yellow);
    EXPECT_EQ(img.pixel(column(23), 15), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(column(23), 13), yellow);
    EXPECT_EQ(img.pixel(2, column(25)), yellow);
    EXPECT_EQ(img.pixel(5, column(25)), qRgb(0, 0, 0));
    // White page with a black outline, and the recorded text on it.
    EXPECT_EQ(img.pixel(20, 100), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(pageW - 5, img.height() - 20), qRgb(255, 255, 255));
    int dark = 0;
    const int top = column(15), baseline = column(20);
    for (int y = top; y < baseline + 3; ++y)
        for (int x = column(15); x < column(45); ++x)
            if (qGray(img.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 20);
    // At 50 % everything halves.
    const QImage half = form.RenderPage(1, 50);
    EXPECT_NEAR(half.width() - 21, pageW / 2.0, 1.0);
}
