// The main window's control tree, one line per control in creation order:
// parent, docking, rectangle as laid out, then the look.
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QTimer>

#include "browser/TCoolMemo.h"
#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"
#include "skin/TRzURLLabel.h"
#include "toolkit/dock_layout.h"
#include "toolkit/fonts.h"
#include "window/TFormMain.h"
#include "window/layout_helpers.h"
#include "window/plain_controls.h"
#include "window/tab_order.h"

namespace hk::window {

using hk::skin::TCoolBitmapButton;
using hk::skin::TCoolPanel;
using hk::skin::TRxGIFAnimator;
using hk::skin::TRzURLLabel;
using hk::toolkit::akBottom;
using hk::toolkit::akLeft;
using hk::toolkit::akRight;
using hk::toolkit::akTop;
using hk::toolkit::Align;
using hk::toolkit::clBlack;
using hk::toolkit::clHighlight;
using hk::toolkit::clRed;
using hk::toolkit::clWindowText;
using hk::toolkit::makeFont;

namespace {

// The list's rows are 13 pixels high whatever the font asks for.
class FixedRowHeight : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 13};
    }
};

// A hidden address holder of the bottom bar: its caption is its own name.
TRzURLLabel* AddressLabel(QWidget* parent, const char* name, QRect rect) {
    auto* l = Place(new TRzURLLabel(parent), parent, name, Align::None, rect);
    l->setCaption(QString::fromLatin1(name));
    l->setFont(makeFont("MS Sans Serif", 11, false, false, true));
    l->setFontColor(clHighlight);
    l->setAutoSize(false);
    l->hide();
    return l;
}

}  // namespace

void TFormMain::CreateControls() {
    auto* I1 = CoolImages1;
    auto* I2 = CoolImages2;
    const auto arial13 = makeFont("Arial", 13, true);

    // Frame and title bar.
    Panel1 = Place(new TPanel(this), this, "Panel1", Align::Client, {0, 0, 777, 433});
    Panel4 = Place(new TPanel(Panel1), Panel1, "Panel4", Align::Client, {0, 27, 777, 400});
    Panel5 = Place(new TPanel(Panel4), Panel4, "Panel5", Align::Right, {771, 0, 6, 400});
    CoolPanel15 = Skinned(Panel5, "CoolPanel15", Align::Top, {0, 0, 6, 8}, I2, 3);
    CoolPanel16 = Skinned(Panel5, "CoolPanel16", Align::Client, {0, 8, 6, 392}, I2, 4);
    CoolPanel20 = Skinned(Panel4, "CoolPanel20", Align::Left, {0, 0, 6, 400}, I2, 8);
    Panel6 = Place(new TPanel(Panel4), Panel4, "Panel6", Align::Client, {6, 0, 765, 400});
    Panel2 = Place(new TPanel(Panel1), Panel1, "Panel2", Align::Top, {0, 0, 777, 27});
    CoolPanel12 = Skinned(Panel2, "CoolPanel12", Align::Left, {0, 0, 6, 27}, I2, 0);
    CoolPanel13 = Skinned(Panel2, "CoolPanel13", Align::Right, {675, 0, 102, 27}, I2, 2);
    CoolBitmapButton4 = Button(CoolPanel13, "CoolBitmapButton4", {27, 3, 21, 21}, Qt::ArrowCursor);
    CoolBitmapButton6 = Button(CoolPanel13, "CoolBitmapButton6", {51, 3, 21, 21}, Qt::ArrowCursor);
    CoolBitmapButton7 = Button(CoolPanel13, "CoolBitmapButton7", {75, 3, 21, 21}, Qt::ArrowCursor);
    CoolPanel14 = Skinned(Panel2, "CoolPanel14", Align::Client, {6, 0, 669, 27}, I2, 1);
    Panel3 = Place(new TPanel(Panel1), Panel1, "Panel3", Align::Bottom, {0, 427, 777, 6});
    CoolPanel17 = Skinned(Panel3, "CoolPanel17", Align::Right, {771, 0, 6, 6}, I2, 5);
    CoolPanel18 = Skinned(Panel3, "CoolPanel18", Align::Left, {0, 0, 6, 6}, I2, 7);
    CoolPanel19 = Skinned(Panel3, "CoolPanel19", Align::Client, {6, 0, 765, 6}, I2, 6);

    // Banner strip.
    CoolPanel8 = Skinned(Panel6, "CoolPanel8", Align::Top, {0, 0, 765, 79}, I1, 9, clBlack, arial13,
                         toolkit::clWhite);
    Image1 = Place(new TImage(CoolPanel8), CoolPanel8, "Image1", Align::None, {0, 0, 300, 79});
    CoolPanel9 = Skinned(CoolPanel8, "CoolPanel9", Align::None, {291, 10, 468, 60}, I1, 0, clBlack,
                         arial13, toolkit::clWhite, akTop | akRight);
    CoolPanel9->setTransparent(true);
    CoolPanel9->setFixedSize(468, 60);
    const QRect gifAt[5] = {{545, 18, 468, 60},
                            {336, 16, 468, 60},
                            {384, 0, 468, 60},
                            {296, 40, 468, 60},
                            {416, -40, 468, 60}};
    for (int i = 0; i < 5; ++i)
        RxGIFAnimator[static_cast<size_t>(i)] =
            Banner(CoolPanel9, QString("RxGIFAnimator%1").arg(i + 1), gifAt[i]);
    WebBrowser1 =
        Place(new QWidget(CoolPanel9), CoolPanel9, "WebBrowser1", Align::None, {-378, 30, 505, 89});

    // Work area below the strip.
    CoolPanel1 = Skinned(Panel6, "CoolPanel1", Align::Client, {0, 79, 765, 321}, nullptr, -1);
    CoolPanel1->setTransparent(true);
    Splitter1 = Place(new TSplitter(CoolPanel1, kPaleGrey), CoolPanel1, "Splitter1", Align::Left,
                      {297, 0, 6, 269});
    CoolPanel3 = Skinned(CoolPanel1, "CoolPanel3", Align::Bottom, {0, 269, 765, 52}, I1, 0);
    CoolPanel4 = Skinned(CoolPanel1, "CoolPanel4", Align::Client, {303, 0, 462, 269}, nullptr, -1,
                         kPaleGrey);
    CoolPanel5 = Skinned(CoolPanel1, "CoolPanel5", Align::Left, {0, 0, 297, 269}, nullptr, -1);
    CoolPanel5->setTransparent(true);
    CoolPanel5->setMinimumWidth(220);
    CoolPanel5->setMaximumWidth(400);
    Splitter1->setControl(CoolPanel5);

    // Left column.
    CoolPanel7 = Skinned(CoolPanel5, "CoolPanel7", Align::Top, {0, 26, 297, 33}, I1, 6, kDarkNavy,
                         arial13, clBlack);
    CoolPanel7->setCaption(QStringLiteral(" Поиск:"));
    CoolPanel7->setAlignment(hk::skin::TAlignment::taLeftJustify);
    Edit1 = Place(new QLineEdit(CoolPanel7), CoolPanel7, "Edit1", Align::None, {53, 4, 242, 24},
                  akLeft | akTop | akRight);
    CLB_Games = Place(new QListWidget(CoolPanel5), CoolPanel5, "CLB_Games", Align::Client,
                      {0, 59, 297, 210});
    CoolPanel2 = Skinned(CoolPanel5, "CoolPanel2", Align::Top, {0, 0, 297, 26}, I1, 5, kDarkNavy,
                         arial13, clBlack);
    CoolPanel2->setCaption(QStringLiteral("Список игр"));

    // Right column.
    SolutionURLLabel = Place(new TRzURLLabel(CoolPanel4), CoolPanel4, "SolutionURLLabel",
                             Align::Client, {0, 26, 462, 158});
    CoolMemo1 = Place(new hk::browser::TCoolMemo(CoolPanel4), CoolPanel4, "CoolMemo1",
                      Align::Bottom, {0, 184, 462, 85});
    CoolPanel6 = Skinned(CoolPanel4, "CoolPanel6", Align::Top, {0, 0, 462, 26}, I1, 5, clBlack,
                         arial13, clBlack);

    // Bottom bar.
    RzURLLabel_WallpapersGirls =
        AddressLabel(CoolPanel3, "RzURLLabel_WallpapersGirls", {312, 8, 140, 13});
    RzURLLabel_FlashGames = AddressLabel(CoolPanel3, "RzURLLabel_FlashGames", {312, 24, 125, 13});
    CoolBitmapButton3 = Button(CoolPanel3, "CoolBitmapButton3", {693, 18, 65, 22},
                               Qt::PointingHandCursor, akTop | akRight);
    CoolBitmapButton5 = Button(CoolPanel3, "CoolBitmapButton5", {527, 18, 160, 22},
                               Qt::PointingHandCursor, akTop | akRight);
    CoolPanel10 = Skinned(CoolPanel3, "CoolPanel10", Align::Left, {0, 0, 297, 52}, I1, 0);
    RzURLLabel_HintkeeperSite =
        AddressLabel(CoolPanel10, "RzURLLabel_HintkeeperSite", {8, 8, 141, 13});
    RzURLLabel_MerrowGames = AddressLabel(CoolPanel10, "RzURLLabel_MerrowGames", {8, 24, 132, 13});
    RzURLLabel_UpdateHintkeeper =
        AddressLabel(CoolPanel10, "RzURLLabel_UpdateHintkeeper", {200, 16, 158, 13});
    CoolPanel11 = Skinned(CoolPanel10, "CoolPanel11", Align::None, {88, 0, 105, 53}, I1, 0,
                          toolkit::clBtnShadow, {}, clWindowText, akTop);
    CoolBitmapButton1 =
        Button(CoolPanel11, "CoolBitmapButton1", {57, 7, 38, 38}, Qt::PointingHandCursor, 0);
    CoolBitmapButton2 =
        Button(CoolPanel11, "CoolBitmapButton2", {9, 8, 38, 38}, Qt::PointingHandCursor, 0);
    CoolPanel21 = Skinned(CoolPanel3, "CoolPanel21", Align::Left, {297, 0, 7, 52}, I1, 25);
    CoolBitmapButton8 = Button(CoolPanel3, "CoolBitmapButton8", {498, 18, 22, 22},
                               Qt::PointingHandCursor, akTop | akRight);
    CoolBitmapButton9 = Button(CoolPanel3, "CoolBitmapButton9", {469, 18, 22, 22},
                               Qt::PointingHandCursor, akTop | akRight);

    // Looks that do not fit on the control's line.
    Edit1->setFont(arial13);
    SetColors(Edit1, kPaleGrey, clWindowText);
    Edit1->setText(QStringLiteral("Edit1"));
    CLB_Games->setFrameShape(QFrame::NoFrame);
    CLB_Games->setFont(makeFont("MS Sans Serif", 11, true));
    CLB_Games->setUniformItemSizes(true);
    CLB_Games->setItemDelegate(new FixedRowHeight(CLB_Games));
    SetColors(CLB_Games, kPaleGrey, clWindowText);
    SolutionURLLabel->setFont(makeFont("MS Sans Serif", 13, false, false, true));
    SolutionURLLabel->setFontColor(clRed);
    SolutionURLLabel->setColor(kPaleGrey);
    SolutionURLLabel->setAutoSize(false);
    SolutionURLLabel->setWordWrap(true);
    SolutionURLLabel->setAlignment(hk::skin::TLabelAlignment::taCenter);
    SolutionURLLabel->setLayout(hk::skin::TTextLayout::tlCenter);
    CoolMemo1->setFont(makeFont("MS Sans Serif", 12));
    SetColors(CoolMemo1, kPaleGrey, clWindowText);
    CoolMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    CoolMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CoolMemo1->SetLines({std::string()});
    CoolBitmapButton1->setToolTip(QStringLiteral("Вперёд"));
    CoolBitmapButton2->setToolTip(QStringLiteral("Назад"));
    for (auto* arrow : {CoolBitmapButton1, CoolBitmapButton2}) {
        arrow->setPositionEffect(false);
        arrow->setShadowEffect(false);
    }

    // Non-visual components.
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("Копирование запрещено"));
    N1->setObjectName(QStringLiteral("N1"));
    CoolMemo1->SetPopupMenu(PopupMenu1);
    Timer1 = new QTimer(this);
    Timer1->setInterval(2200);
    AdTimer = new QTimer(this);
    AdTimer->setInterval(10000);

    NameControls();

    // Keyboard order: each control's place within its parent, as laid out.
    // clang-format off
    ApplyTabOrder(this, {
        // Frame and title bar.
        {Panel1, 0}, {Panel4, 2}, {Panel5, 0}, {CoolPanel15, 0}, {CoolPanel16, 1},
        {CoolPanel20, 1}, {Panel6, 2}, {Panel2, 0}, {CoolPanel12, 0}, {CoolPanel13, 1},
        {CoolBitmapButton4, 0}, {CoolBitmapButton6, 1}, {CoolBitmapButton7, 2}, {CoolPanel14, 2},
        {Panel3, 1}, {CoolPanel17, 0}, {CoolPanel18, 1}, {CoolPanel19, 2},
        // Banner strip.
        {CoolPanel8, 0}, {CoolPanel9, 0}, {WebBrowser1, 0},
        // Work area, left column, right column.
        {CoolPanel1, 1}, {CoolPanel3, 0}, {CoolPanel4, 1}, {CoolPanel5, 2},
        {CoolPanel7, 0}, {Edit1, 0}, {CLB_Games, 1}, {CoolPanel2, 2},
        {CoolMemo1, 0}, {CoolPanel6, 1},
        // Bottom bar.
        {CoolBitmapButton3, 0}, {CoolBitmapButton5, 1}, {CoolPanel10, 2}, {CoolPanel11, 0},
        {CoolBitmapButton1, 0}, {CoolBitmapButton2, 1}, {CoolPanel21, 3}, {CoolBitmapButton8, 4},
        {CoolBitmapButton9, 5}});
    // clang-format on
}

// The names a screen reader speaks, from each control's caption, hint or the
// header above it. The link labels and captioned panels read their captions;
// the list and the codes view follow their headers as these change.
void TFormMain::NameControls() {
    CoolBitmapButton4->setAccessibleName(QStringLiteral("Свернуть"));
    CoolBitmapButton6->setAccessibleName(MaximiseButtonName());
    CoolBitmapButton7->setAccessibleName(QStringLiteral("Закрыть"));
    CoolBitmapButton3->setAccessibleName(QStringLiteral("Выход"));
    CoolBitmapButton5->setAccessibleName(QStringLiteral("Проверить обновление"));
    CoolBitmapButton8->setAccessibleName(QStringLiteral("О программе"));
    CoolBitmapButton9->setAccessibleName(QStringLiteral("Печать"));
    // The arrows are named by their hints.
    Edit1->setAccessibleName(CoolPanel7->Caption().simplified().remove(QLatin1Char(':')));
    CLB_Games->setAccessibleName(CoolPanel2->Caption());
    Image1->setAccessibleName(QStringLiteral("Hintkeeper: коды, советы, пароли"));
    for (auto* banner : RxGIFAnimator) banner->setAccessibleName(QStringLiteral("Реклама"));
}

QString TFormMain::MaximiseButtonName() const {
    return isMaximized() ? QStringLiteral("Восстановить") : QStringLiteral("Развернуть");
}

}  // namespace hk::window
