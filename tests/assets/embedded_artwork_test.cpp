// The artwork compiled into the viewer: every bitmap, picture and banner the windows
// load must be there, in the size and format the controls are laid out for.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSize>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "gif_reading.h"
#include "hk_assets.h"

namespace {

QByteArray resource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

quint32 le32(const QByteArray& b, int at) {
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 |
           quint32(uchar(b[at + 2])) << 16 | quint32(uchar(b[at + 3])) << 24;
}

quint16 le16(const QByteArray& b, int at) {
    return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}

// The sizes the window layouts give each bitmap; faces of one button share a size.
const QSize kCoolImages1Sizes[35] = {
    {1, 52},  {38, 38}, {38, 38}, {38, 38}, {38, 38},  {1, 26},   {1, 32},   {38, 38}, {38, 38},
    {1, 79},  {65, 22}, {65, 22}, {65, 22}, {160, 22}, {160, 22}, {160, 22}, {21, 21}, {21, 21},
    {21, 21}, {21, 21}, {21, 21}, {21, 21}, {21, 21},  {21, 21},  {21, 21},  {7, 52},  {22, 22},
    {22, 22}, {22, 22}, {22, 22}, {22, 22}, {22, 22},  {74, 22},  {74, 22},  {74, 22}};
const QSize kCoolImages2Sizes[9] = {{6, 27}, {1, 27}, {102, 27}, {6, 8}, {6, 1},
                                    {6, 6},  {1, 6},  {6, 6},    {6, 1}};

void expectUncompressed24BitBmp(const QString& path, QSize size) {
    SCOPED_TRACE(path.toStdString());
    const QByteArray bytes = resource(path);
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), quint32(bytes.size()));
    EXPECT_EQ(le32(bytes, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(int(le32(bytes, 18)), size.width());
    EXPECT_EQ(int(le32(bytes, 22)), size.height());
    EXPECT_EQ(le16(bytes, 28), 24);  // bits per pixel
    EXPECT_EQ(le32(bytes, 30), 0u);  // no compression
    const int stride = (size.width() * 3 + 3) & ~3;
    EXPECT_EQ(bytes.size(), 54 + stride * size.height());
    EXPECT_EQ(QImage::fromData(bytes, "BMP").size(), size);
}

bool hasHole(const QImage& shown) {
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) == qRgb(1, 2, 3)) return true;
    return false;
}

QImage bitmap(const QString& path) {
    return QImage::fromData(resource(path), "BMP");
}

TEST(EmbeddedArtwork, CollectionBitmapsAreUncompressed24BitInTheirLaidOutSizes) {
    // The high-density set has twice the pixels each way.
    for (int i = 0; i < hk::assets::kCoolImages1Count; ++i) {
        expectUncompressed24BitBmp(hk::assets::coolImages1Path(i), kCoolImages1Sizes[i]);
        expectUncompressed24BitBmp(hk::assets::coolImages1Path2x(i), kCoolImages1Sizes[i] * 2);
    }
    for (int i = 0; i < hk::assets::kCoolImages2Count; ++i) {
        expectUncompressed24BitBmp(hk::assets::coolImages2Path(i), kCoolImages2Sizes[i]);
        expectUncompressed24BitBmp(hk::assets::coolImages2Path2x(i), kCoolImages2Sizes[i] * 2);
    }
}

TEST(EmbeddedArtwork, EveryButtonShowsThreeDifferentFaces) {
    // Normal, hover and pressed of each button, as the face handlers swap them.
    const int faces[][3] = {{3, 4, 8},    {1, 2, 7},    {10, 11, 12}, {13, 14, 15}, {16, 17, 18},
                            {19, 20, 21}, {22, 23, 24}, {26, 27, 28}, {29, 30, 31}, {32, 33, 34}};
    for (const auto& f : faces) {
        SCOPED_TRACE(f[0]);
        const QImage normal = bitmap(hk::assets::coolImages1Path(f[0]));
        const QImage hover = bitmap(hk::assets::coolImages1Path(f[1]));
        const QImage pressed = bitmap(hk::assets::coolImages1Path(f[2]));
        EXPECT_NE(normal, hover);
        EXPECT_NE(normal, pressed);
        EXPECT_NE(hover, pressed);
    }
    // The two arrow buttons point different ways.
    EXPECT_NE(bitmap(hk::assets::coolImages1Path(1)), bitmap(hk::assets::coolImages1Path(3)));
}

TEST(EmbeddedArtwork, FramePiecesAreEdgedInTheOutlineColour) {
    const QColor outline(49, 48, 41);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(0)).pixelColor(0, 13), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(1)).pixelColor(0, 0), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(1)).pixelColor(0, 26), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(2)).pixelColor(101, 13), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(4)).pixelColor(5, 0), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(5)).pixelColor(5, 5), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(6)).pixelColor(0, 5), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(7)).pixelColor(0, 5), outline);
    EXPECT_EQ(bitmap(hk::assets::coolImages2Path(8)).pixelColor(0, 0), outline);
}

TEST(EmbeddedArtwork, FramePiecesJoinWithoutSeams) {
    for (const int s : {1, 2}) {
        SCOPED_TRACE(s);
        auto piece = [s](int i) {
            return bitmap(s == 1 ? hk::assets::coolImages2Path(i)
                                 : hk::assets::coolImages2Path2x(i));
        };
        const QImage titleMiddle = piece(1), rightBorder = piece(4), bottom = piece(6);
        const int last = 6 * s - 1;  // the last column of a border, the last row of the bottom
        for (int y = 0; y < 27 * s; ++y) {
            SCOPED_TRACE(y);
            // The title bar's ends continue its middle where they meet it.
            EXPECT_EQ(piece(0).pixelColor(last, y), titleMiddle.pixelColor(0, y));
            EXPECT_EQ(piece(2).pixelColor(0, y), titleMiddle.pixelColor(0, y));
        }
        for (int x = 0; x < 6 * s; ++x) {
            SCOPED_TRACE(x);
            // The right border runs on from its top piece into the bottom-right corner.
            EXPECT_EQ(piece(3).pixelColor(x, 8 * s - 1), rightBorder.pixelColor(x, 0));
            EXPECT_EQ(piece(5).pixelColor(x, 0), rightBorder.pixelColor(x, 0));
            EXPECT_EQ(piece(7).pixelColor(x, 0), piece(8).pixelColor(x, 0));
            // The bottom border runs into both corners; the two side borders mirror.
            EXPECT_EQ(piece(5).pixelColor(0, x), bottom.pixelColor(0, x));
            EXPECT_EQ(piece(7).pixelColor(last, x), bottom.pixelColor(0, x));
            EXPECT_EQ(piece(8).pixelColor(x, 0), rightBorder.pixelColor(last - x, 0));
        }
    }
}

TEST(EmbeddedArtwork, BannerStripPictureFadesIntoTheStripBehindIt) {
    // The picture covers only the strip's left end; its right edge must meet the
    // strip's own gradient (JPEG leaves a little noise).
    QFile file(QString::fromLatin1(hk::assets::kBannerStripPath));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QImage picture = QImage::fromData(file.readAll(), "JPEG");
    const QImage strip = bitmap(hk::assets::coolImages1Path(9));
    ASSERT_EQ(picture.height(), strip.height());
    for (int y = 0; y < strip.height(); ++y) {
        SCOPED_TRACE(y);
        const QColor edge = picture.pixelColor(picture.width() - 1, y),
                     ground = strip.pixelColor(0, y);
        EXPECT_NEAR(edge.red(), ground.red(), 10);
        EXPECT_NEAR(edge.green(), ground.green(), 10);
        EXPECT_NEAR(edge.blue(), ground.blue(), 10);
    }
}

TEST(EmbeddedArtwork, ButtonCornersMatchTheBarTheyStandOn) {
    // Faces are opaque rectangles; their corners must show the strip around them.
    const QImage bar = bitmap(hk::assets::coolImages1Path(0));
    EXPECT_EQ(bitmap(hk::assets::coolImages1Path(3)).pixelColor(0, 0), bar.pixelColor(0, 7));
    EXPECT_EQ(bitmap(hk::assets::coolImages1Path(1)).pixelColor(0, 37), bar.pixelColor(0, 45));
    EXPECT_EQ(bitmap(hk::assets::coolImages1Path(10)).pixelColor(0, 0), bar.pixelColor(0, 18));
    EXPECT_EQ(bitmap(hk::assets::coolImages1Path(32)).pixelColor(0, 21), bar.pixelColor(0, 36));
}

TEST(EmbeddedArtwork, PicturesAreJpegsInTheirSlotSizes) {
    const struct {
        const char* path;
        QSize size;
    } pictures[] = {{hk::assets::kBannerStripPath, {300, 79}},
                    {hk::assets::kSplashPath, {320, 200}},
                    {hk::assets::kBannerStripPath2x, {600, 158}},
                    {hk::assets::kSplashPath2x, {640, 400}}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.path);
        QByteArray bytes = resource(QString::fromLatin1(picture.path));
        ASSERT_GT(bytes.size(), 2);
        EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xD8"));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), picture.size);
    }
}

TEST(EmbeddedArtwork, BannersAreLoopingAnimationsThatFillTheSlot) {
    bool someFrameSeeThroughAndKept = false;
    std::set<QByteArray> distinct;
    for (int slot = 1; slot <= hk::assets::kBannerSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const QByteArray bytes = resource(hk::assets::bannerPath(slot));
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(bytes.left(6), QByteArray("GIF89a"));
        EXPECT_TRUE(bytes.contains("NETSCAPE2.0"));
        distinct.insert(bytes);
        const DecodedGif gif = decodeGif(bytes);
        ASSERT_TRUE(gif.file);
        EXPECT_EQ(gif.file->SWidth, 468);
        EXPECT_EQ(gif.file->SHeight, 60);
        ASSERT_GE(gif.file->ImageCount, 3);
        std::set<int> delays;
        for (int i = 0; i < gif.file->ImageCount; ++i) {
            const GifImageDesc& d = gif.file->SavedImages[i].ImageDesc;
            EXPECT_LE(d.Left + d.Width, 468);
            EXPECT_LE(d.Top + d.Height, 60);
            delays.insert(gif.controls[i].DelayTime);
            if (gif.controls[i].TransparentColor != NO_TRANSPARENT_COLOR &&
                gif.controls[i].DisposalMode != 0)
                someFrameSeeThroughAndKept = true;
            // Every frame leaves the whole slot painted: no pixel is never drawn.
            EXPECT_FALSE(hasHole(gif.shown[size_t(i)])) << "frame " << i;
        }
        EXPECT_GE(delays.size(), 2u) << "a banner should not tick evenly";
        // The first frame covers the slot and hides nothing behind it.
        const GifImageDesc& first = gif.file->SavedImages[0].ImageDesc;
        EXPECT_EQ(first.Width * first.Height, 468 * 60);
        EXPECT_EQ(gif.controls[0].TransparentColor, NO_TRANSPARENT_COLOR);
    }
    EXPECT_TRUE(someFrameSeeThroughAndKept);
    EXPECT_EQ(distinct.size(), 4u) << "four banners, the fifth slot reusing the third";
    EXPECT_EQ(hk::assets::bannerPath(5), hk::assets::bannerPath(3));
}

TEST(EmbeddedArtwork, PathsExistOnlyForTheCollectionsAndSlots) {
    EXPECT_THROW(hk::assets::coolImages1Path(-1), std::out_of_range);
    EXPECT_THROW(hk::assets::coolImages1Path(35), std::out_of_range);
    EXPECT_THROW(hk::assets::coolImages2Path(9), std::out_of_range);
    EXPECT_THROW(hk::assets::bannerPath(0), std::out_of_range);
    EXPECT_THROW(hk::assets::bannerPath(6), std::out_of_range);
    EXPECT_EQ(hk::assets::coolImages1Path(34), QStringLiteral(":/assets/coolimages1/34.bmp"));
    EXPECT_EQ(hk::assets::coolImages2Path(0), QStringLiteral(":/assets/coolimages2/00.bmp"));
    EXPECT_EQ(hk::assets::coolImages2Path2x(8), QStringLiteral(":/assets/coolimages2/08@2x.bmp"));
    EXPECT_THROW(hk::assets::coolImages1Path2x(35), std::out_of_range);
}

}  // namespace
