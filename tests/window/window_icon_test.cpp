// The program's icon on its three windows (the About box and the preview take
// their owner's): without a panel under Xvfb no screenshot shows it, so the
// windows are asked what they hand the window system.
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWindow>

#include "hk_assets.h"
#include "printing/preview_form.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace {

// Icons are compared premultiplied, as a pixmap holds them. Turning a pixmap's
// pixels back into straight colour divides by alpha, and the processor's
// vector unit rounds that division: on some machines a half-transparent
// pixel's channel comes back one step off. Premultiplying is exact integer
// arithmetic everywhere, so both sides get the same value for the same icon.
constexpr QImage::Format kCompared = QImage::Format_ARGB32_Premultiplied;

// The icon the window system gets for `w`, at `size` pixels.
QImage ShownIcon(QWidget& w, int size) {
    w.winId();  // makes the platform window the icon is handed to
    return w.windowHandle()->icon().pixmap(size, size).toImage().convertToFormat(kCompared);
}

TEST(WindowIcon, MainWindowAboutBoxAndPreviewCarryTheProgramIcon) {
    QTemporaryDir dir;
    hk::window::TFormMain main(dir.path().toStdString() + "/");
    hk::window::TFormAbout about(main);
    hk::printing::PageStream pages;
    pages.pageWidth = 210 / 25.4;
    pages.pageHeight = 297 / 25.4;
    pages.pages.push_back({});
    hk::printing::TKxPreviewForm preview(&main, pages, hk::printing::TSystemPreview{},
                                         QStringLiteral("Предпросмотр"));

    for (const int size : {16, 48, 256}) {
        SCOPED_TRACE(size);
        const QImage expected = QImage(hk::assets::iconPath(size)).convertToFormat(kCompared);
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(ShownIcon(main, size), expected);
        EXPECT_EQ(ShownIcon(about, size), expected);
        EXPECT_EQ(ShownIcon(preview, size), expected);
    }
}

}  // namespace
