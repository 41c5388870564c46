// skin_gallery: draws every skin bitmap, a panel of each look, the bitmap buttons in
// their three faces and a banner frame with the real skin controls, and saves the lot
// as one PNG for a person to look over.
//
//   QT_QPA_PLATFORM=offscreen skin_gallery [OUT.png]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>
#include <span>
#include <string>

#include "hk_assets.h"
#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolImages.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"

namespace {

namespace skin = hk::skin;
namespace tk = hk::toolkit;

// Strips narrower or lower than this are tiled up to kTiledSide, as the panels use them.
constexpr int kStripSide = 8;
constexpr int kTiledSide = 40;

QLabel* Heading(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    label->setFont(font);
    label->setContentsMargins(0, 10, 0, 2);
    return label;
}

QLabel* Note(const QString& text) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

// A control above its caption, centred in a cell.
QWidget* Cell(QWidget* control, const QString& caption) {
    auto* cell = new QWidget;
    auto* box = new QVBoxLayout(cell);
    box->setContentsMargins(4, 4, 4, 4);
    box->setSpacing(3);
    box->addWidget(control, 0, Qt::AlignHCenter | Qt::AlignBottom);
    box->addWidget(Note(caption));
    return cell;
}

void Fill(skin::TCoolImages& images, int count, QString (*path)(int)) {
    for (int i = 0; i < count; ++i) {
        const QImage bitmap(path(i));
        if (bitmap.isNull())
            std::fprintf(stderr, "skin_gallery: cannot read %s\n", qPrintable(path(i)));
        images.Bitmaps().Add(bitmap);
    }
}

// Every bitmap of a collection, each shown by a bevel-less panel that paints it: at its
// own size, or tiled out when it is a thin strip.
QWidget* CollectionSheet(skin::TCoolImages& images, int columns) {
    auto* sheet = new QWidget;
    auto* grid = new QGridLayout(sheet);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    for (int i = 0; i < images.Bitmaps().Count(); ++i) {
        const QSize size = images.Bitmaps()[i].Bitmap().size();
        auto* panel = new skin::TCoolPanel;
        panel->setBevelOuter(skin::TBevelCut::bvNone);
        panel->setCoolImages(&images);
        panel->setIdWallpaper(i);
        const bool strip = size.width() < kStripSide || size.height() < kStripSide;
        const int w = size.width() < kStripSide ? kTiledSide : size.width();
        const int h = size.height() < kStripSide ? kTiledSide : size.height();
        panel->setFixedSize(w, h);
        QString caption =
            QString("%1: %2×%3").arg(i, 2, 10, QChar('0')).arg(size.width()).arg(size.height());
        if (strip) caption += " tiled";
        grid->addWidget(Cell(panel, caption), i / columns, i % columns, Qt::AlignBottom);
    }
    return sheet;
}

skin::TCoolPanel* Panel(QWidget* parent, const QString& caption, int w, int h) {
    auto* panel = new skin::TCoolPanel(parent);
    panel->setCaption(caption);
    panel->setFixedSize(w, h);
    return panel;
}

// One panel of each look the windows use.
QWidget* PanelSheet(skin::TCoolImages& images1, skin::TCoolImages& images2) {
    auto* sheet = new QWidget;
    auto* row = new QHBoxLayout(sheet);
    row->setContentsMargins(0, 0, 0, 0);
    constexpr int kW = 170, kH = 90;

    auto* plain = Panel(nullptr, "Plain colour", kW, kH);
    plain->setColor(tk::clBtnFace);
    plain->setBevelOuter(skin::TBevelCut::bvRaised);
    row->addWidget(Cell(plain, "Color, raised bevel"));

    auto* tiled = Panel(nullptr, "Wallpaper", kW, kH);
    tiled->setCoolImages(&images1);
    tiled->setIdWallpaper(9);
    tiled->setFontColor(tk::clWhite);
    row->addWidget(Cell(tiled, "CoolImages1 #09 tiled"));

    auto* frame = Panel(nullptr, "", kW, kH);
    frame->setCoolImages(&images2);
    frame->setIdWallpaper(2);
    row->addWidget(Cell(frame, "CoolImages2 #02 tiled"));

    // See-through panels show whatever their parent paints beneath them.
    auto* under = Panel(nullptr, "", kW, kH);
    under->setColor(tk::rgbColor(0x40, 0x70, 0xA0));
    under->setBevelOuter(skin::TBevelCut::bvNone);
    auto* glass = Panel(under, "See-through", kW - 30, kH - 30);
    glass->move(15, 15);
    glass->setTransparent(true);
    glass->setFontColor(tk::clWhite);
    glass->setBevelOuter(skin::TBevelCut::bvRaised);
    row->addWidget(Cell(under, "Transparent over plain"));

    auto* underArt = Panel(nullptr, "", kW, kH);
    underArt->setCoolImages(&images1);
    underArt->setIdWallpaper(9);
    underArt->setBevelOuter(skin::TBevelCut::bvNone);
    auto* glassArt = Panel(underArt, "See-through", kW - 30, kH - 30);
    glassArt->move(15, 15);
    glassArt->setTransparent(true);
    glassArt->setFontColor(tk::clWhite);
    glassArt->setBevelOuter(skin::TBevelCut::bvLowered);
    row->addWidget(Cell(underArt, "Transparent over wallpaper"));

    auto* bevels = Panel(nullptr, "Left caption", kW, kH);
    bevels->setColor(tk::clBtnFace);
    bevels->setBevelOuter(skin::TBevelCut::bvRaised);
    bevels->setBevelInner(skin::TBevelCut::bvLowered);
    bevels->setBevelWidth(2);
    bevels->setBorderWidth(4);
    bevels->setAlignment(skin::TAlignment::taLeftJustify);
    row->addWidget(Cell(bevels, "Raised + lowered, width 2, border 4"));
    row->addStretch();
    return sheet;
}

struct ButtonFaces {
    const char* name;
    int normal, hover, pressed;
};

// The buttons in the faces the window code gives them on leave, enter and press.
QWidget* ButtonSheet(skin::TCoolImages& images) {
    static constexpr ButtonFaces kButtons[] = {
        {"Next game", 3, 4, 8},       {"Previous game", 1, 2, 7}, {"Exit", 10, 11, 12},
        {"Update check", 13, 14, 15}, {"Minimise", 16, 17, 18},   {"Maximise", 19, 20, 21},
        {"Close", 22, 23, 24},        {"About", 26, 27, 28},      {"Print", 29, 30, 31},
        {"About: close", 32, 33, 34},
    };
    auto* sheet = new QWidget;
    auto* grid = new QGridLayout(sheet);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    const char* columns[] = {"normal", "hover", "pressed"};
    constexpr int kGroups = 2;
    constexpr int kPerGroup = (std::size(kButtons) + kGroups - 1) / kGroups;
    for (int g = 0; g < kGroups; ++g)
        for (int c = 0; c < 3; ++c) grid->addWidget(Note(columns[c]), 0, g * 4 + 1 + c);
    for (int i = 0; i < static_cast<int>(std::size(kButtons)); ++i) {
        const ButtonFaces& b = kButtons[i];
        const int row = 1 + i % kPerGroup, col = (i / kPerGroup) * 4;
        grid->addWidget(new QLabel(b.name), row, col, Qt::AlignRight | Qt::AlignVCenter);
        const int faces[] = {b.normal, b.hover, b.pressed};
        for (int c = 0; c < 3; ++c) {
            auto* button = new skin::TCoolBitmapButton;
            button->setBitmap(images.Bitmaps()[faces[c]].Bitmap());
            button->setFixedSize(button->Bitmap().size());
            grid->addWidget(button, row, col + 1 + c, Qt::AlignCenter);
        }
    }
    grid->setColumnStretch(kGroups * 4, 1);
    return sheet;
}

QWidget* BannerSheet() {
    auto* sheet = new QWidget;
    auto* row = new QHBoxLayout(sheet);
    row->setContentsMargins(0, 0, 0, 0);
    QFile file(hk::assets::bannerPath(1));
    QByteArray data;
    if (file.open(QIODevice::ReadOnly)) data = file.readAll();
    auto* banner = new skin::TRxGIFAnimator;
    std::string error;
    if (!banner->loadImage(std::span(reinterpret_cast<const unsigned char*>(data.constData()),
                                     static_cast<size_t>(data.size())),
                           error))
        std::fprintf(stderr, "skin_gallery: banner 1: %s\n", error.c_str());
    banner->setFrameIndex(0);
    // AutoSize resizes the control, but a layout goes by fixed sizes.
    banner->setFixedSize(banner->size());
    row->addWidget(Cell(banner, QString("Banner 1, frame 1 of %1, %2 ms")
                                    .arg(banner->FrameCount())
                                    .arg(banner->frameDelay())));
    row->addStretch();
    return sheet;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(HK_GALLERY_DEFAULT_OUT);
    if (argc > 2 || out.startsWith('-')) {
        std::fprintf(stderr, "usage: skin_gallery [OUT.png]\n");
        return 64;
    }
    hk::assets::init();

    skin::TCoolImages images1, images2;
    Fill(images1, hk::assets::kCoolImages1Count, hk::assets::coolImages1Path);
    Fill(images2, hk::assets::kCoolImages2Count, hk::assets::coolImages2Path);

    QWidget page;
    page.setAutoFillBackground(true);
    QPalette palette = page.palette();
    palette.setColor(QPalette::Window, QColor(0xF4, 0xF4, 0xF0));
    page.setPalette(palette);
    auto* column = new QVBoxLayout(&page);
    column->setContentsMargins(14, 6, 14, 14);
    column->setSpacing(2);
    column->addWidget(Heading("CoolImages1: button faces and panel strips"));
    column->addWidget(CollectionSheet(images1, 12));
    column->addWidget(Heading("CoolImages2: window frame and title bar pieces"));
    column->addWidget(CollectionSheet(images2, 12));
    column->addWidget(Heading("TCoolPanel looks"));
    column->addWidget(PanelSheet(images1, images2));
    column->addWidget(Heading("TCoolBitmapButton faces"));
    column->addWidget(ButtonSheet(images1));
    column->addWidget(Heading("TRxGIFAnimator"));
    column->addWidget(BannerSheet());

    page.adjustSize();
    page.show();
    QApplication::processEvents();
    const QImage picture = page.grab().toImage();

    const QFileInfo target(out);
    if (!QDir().mkpath(target.absolutePath()) || !picture.save(out, "PNG")) {
        std::fprintf(stderr, "skin_gallery: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s: %d x %d\n", qPrintable(target.absoluteFilePath()), picture.width(),
                picture.height());
    return 0;
}
