#include "window/TFormAbout.h"

#include <QScreen>

#include "skin/TCoolImages.h"
#include "skin/TRzURLLabel.h"
#include "toolkit/fonts.h"
#include "window/TFormMain.h"
#include "window/button_faces.h"
#include "window/layout_helpers.h"
#include "window/plain_controls.h"
#include "window/tab_order.h"

namespace hk::window {

using hk::toolkit::akRight;
using hk::toolkit::akTop;
using hk::toolkit::Align;
using hk::toolkit::makeFont;

TFormAbout::TFormAbout(TFormMain& formMain)
    : QDialog(&formMain, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setFont(makeFont("MS Sans Serif", 11));
    setModal(true);
    setFixedSize(332, 317);
    auto* I1 = formMain.CoolImages1;
    auto* I2 = formMain.CoolImages2;

    CoolPanel1 = Skinned(this, "CoolPanel1", Align::Top, {0, 0, 332, 27}, nullptr, -1);
    CoolPanel12 = Skinned(CoolPanel1, "CoolPanel12", Align::Left, {0, 0, 6, 27}, I2, 0);
    CoolPanel13 = Skinned(CoolPanel1, "CoolPanel13", Align::Right, {230, 0, 102, 27}, I2, 2);
    CoolBitmapButton7 = Button(CoolPanel13, "CoolBitmapButton7", {75, 3, 21, 21}, Qt::ArrowCursor);
    CoolPanel14 = Skinned(CoolPanel1, "CoolPanel14", Align::Client, {6, 0, 224, 27}, I2, 1,
                          toolkit::clBtnShadow, makeFont("MS Sans Serif", 11, true));
    CoolPanel2 = Skinned(this, "CoolPanel2", Align::Client, {0, 27, 332, 284}, nullptr, -1);
    CoolPanel4 = Skinned(CoolPanel2, "CoolPanel4", Align::Right, {326, 0, 6, 284}, nullptr, -1);
    CoolPanel15 = Skinned(CoolPanel4, "CoolPanel15", Align::Top, {0, 0, 6, 8}, I2, 3);
    CoolPanel16 = Skinned(CoolPanel4, "CoolPanel16", Align::Client, {0, 8, 6, 276}, I2, 4);
    CoolPanel20 = Skinned(CoolPanel2, "CoolPanel20", Align::Left, {0, 0, 6, 284}, I2, 8);
    CoolPanel5 = Skinned(CoolPanel2, "CoolPanel5", Align::Client, {6, 0, 320, 284}, nullptr, -1);
    Image1 = Place(new TImage(CoolPanel5), CoolPanel5, "Image1", Align::Client, {0, 0, 320, 200});
    CoolPanel6 = Skinned(CoolPanel5, "CoolPanel6", Align::Bottom, {0, 232, 320, 52}, I1, 0);
    CoolBitmapButton3 = Button(CoolPanel6, "CoolBitmapButton3", {132, 15, 74, 22},
                               Qt::PointingHandCursor, akTop | akRight);
    Panel1 = Place(new TPanel(CoolPanel5, kPaleGrey), CoolPanel5, "Panel1", Align::Bottom,
                   {0, 200, 320, 32});
    RzURLLabel1 = Place(new hk::skin::TRzURLLabel(Panel1), Panel1, "RzURLLabel1", Align::None,
                        {57, 8, 207, 16});
    CoolPanel3 = Skinned(this, "CoolPanel3", Align::Bottom, {0, 311, 332, 6}, nullptr, -1);
    CoolPanel17 = Skinned(CoolPanel3, "CoolPanel17", Align::Right, {326, 0, 6, 6}, I2, 5);
    CoolPanel18 = Skinned(CoolPanel3, "CoolPanel18", Align::Left, {0, 0, 6, 6}, I2, 7);
    CoolPanel19 = Skinned(CoolPanel3, "CoolPanel19", Align::Client, {6, 0, 320, 6}, I2, 6);

    CoolPanel14->setCaption(QStringLiteral("О программе"));
    CoolPanel14->setAlignment(hk::skin::TAlignment::taLeftJustify);
    RzURLLabel1->setCaption(QStringLiteral("Заказать рекламу в программе"));
    RzURLLabel1->setFont(makeFont("MS Sans Serif", 13, false, false, true));
    RzURLLabel1->setFontColor(toolkit::clHighlight);
    RzURLLabel1->setColor(kPaleGrey);
    RzURLLabel1->setAutoSize(false);

    // What a screen reader speaks; the caption panel and the link read their captions.
    CoolBitmapButton7->setAccessibleName(QStringLiteral("Закрыть"));
    CoolBitmapButton3->setAccessibleName(QStringLiteral("Закрыть"));
    Image1->setAccessibleName(
        QStringLiteral("Hintkeeper. Коды, советы и пароли к играм. Версия 1.30"));

    // Keyboard order: each control's place within its parent, as laid out.
    // clang-format off
    ApplyTabOrder(this, {
        {CoolPanel1, 0}, {CoolPanel12, 0}, {CoolPanel13, 1}, {CoolBitmapButton7, 0},
        {CoolPanel14, 2}, {CoolPanel2, 1}, {CoolPanel4, 0}, {CoolPanel15, 0}, {CoolPanel16, 1},
        {CoolPanel20, 1}, {CoolPanel5, 2}, {CoolPanel6, 0}, {CoolBitmapButton3, 0}, {Panel1, 1},
        {CoolPanel3, 2}, {CoolPanel17, 0}, {CoolPanel18, 1}, {CoolPanel19, 2}});
    // clang-format on

    // normal, hover, pressed, mouse-up
    BindFaces(CoolBitmapButton7, I1, {22, 23, 24, 23});
    BindFaces(CoolBitmapButton3, I1, {32, 33, 34, 32});
    CoolBitmapButton7->OnClick = [this](QObject*) { CoolBitmapButton7Click(); };
    CoolBitmapButton3->OnClick = [this](QObject*) { CoolBitmapButton3Click(); };
}

void TFormAbout::CoolBitmapButton7Click() {
    done(2);
}
void TFormAbout::CoolBitmapButton3Click() {
    done(2);
}

void TFormAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace hk::window
