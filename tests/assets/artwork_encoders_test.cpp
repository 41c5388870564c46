// The encoders behind the artwork: what they write must decode to what was drawn.
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <stdexcept>

#include "gif_reading.h"
#include "writers.h"

namespace {

QImage checker(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgb((x * 40 + seed) & 0xFF, (y * 70 + seed) & 0xFF, (x ^ y) * 20));
    return image;
}

TEST(BmpEncoder, RowsOfEveryWidthArePaddedAndStoredBottomUp) {
    for (const QSize size : {QSize(1, 3), QSize(2, 2), QSize(7, 2), QSize(21, 1), QSize(4, 4)}) {
        SCOPED_TRACE(size.width());
        const QImage picture = checker(size.width(), size.height(), 5);
        const QByteArray bytes = artgen::encodeBmp24(picture);
        const int stride = (size.width() * 3 + 3) & ~3;
        ASSERT_EQ(bytes.size(), 54 + stride * size.height());
        // The first stored row is the bottom one, blue first.
        const QRgb bottomLeft = picture.pixel(0, size.height() - 1);
        EXPECT_EQ(uchar(bytes[54]), qBlue(bottomLeft));
        EXPECT_EQ(uchar(bytes[56]), qRed(bottomLeft));
        const QImage back = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(back, picture);
    }
    EXPECT_THROW(artgen::encodeBmp24(QImage()), std::invalid_argument);
}

TEST(JpegEncoder, KeepsTheSizeAndTheColoursRoughly) {
    QImage picture(32, 16, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 30));
    for (int y = 0; y < 16; ++y)
        for (int x = 16; x < 32; ++x) picture.setPixel(x, y, qRgb(20, 40, 220));
    const QByteArray bytes = artgen::encodeJpeg(picture, 92);
    EXPECT_EQ(bytes, artgen::encodeJpeg(picture, 92)) << "the same picture gives the same file";
    const QImage back = QImage::fromData(bytes, "JPEG");
    ASSERT_EQ(back.size(), picture.size());
    const QColor left = back.pixelColor(4, 8), right = back.pixelColor(27, 8);
    EXPECT_NEAR(left.red(), 200, 12);
    EXPECT_NEAR(left.blue(), 30, 12);
    EXPECT_NEAR(right.blue(), 220, 12);
    EXPECT_NEAR(right.red(), 20, 12);
}

// Three colours on a plain ground, so the palette is exact and pictures compare equal.
QImage scene(int boxX, bool spark) {
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 90));
    for (int y = 5; y < 12; ++y)
        for (int x = boxX; x < boxX + 6; ++x) image.setPixel(x, y, qRgb(250, 200, 40));
    if (spark) image.setPixel(35, 2, qRgb(255, 255, 255));
    return image;
}

TEST(GifEncoder, ReplayingTheFramesShowsEveryPictureExactly) {
    const std::vector<artgen::GifFrame> frames = {
        {scene(2, false), 50, 1}, {scene(8, false), 20, 1},  {scene(8, true), 5, 3},
        {scene(8, true), 7, 1},   {scene(14, false), 20, 2}, {scene(20, false), 90, 1},
        {scene(20, false), 10, 1}};
    const DecodedGif gif = decodeGif(artgen::encodeAnimatedGif(frames));
    ASSERT_TRUE(gif.file);
    ASSERT_EQ(gif.file->ImageCount, int(frames.size()));
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(gif.shown[i], frames[i].picture);
        EXPECT_EQ(gif.controls[i].DelayTime, frames[i].delayHundredths);
        EXPECT_EQ(gif.controls[i].DisposalMode, frames[i].disposal);
    }
    // Only what changed is stored: the second frame is the box's old and new place.
    const GifImageDesc& moved = gif.file->SavedImages[1].ImageDesc;
    EXPECT_EQ(moved.Left, 2);
    EXPECT_EQ(moved.Width, 12);
    EXPECT_EQ(moved.Top, 5);
    EXPECT_EQ(moved.Height, 7);
    EXPECT_NE(gif.controls[1].TransparentColor, NO_TRANSPARENT_COLOR);
    // The twinkle undone by frame 2 is drawn again when frame 3 keeps it.
    EXPECT_EQ(gif.shown[3].pixel(35, 2), qRgb(255, 255, 255));
    // After a restore-to-background frame the next one is whole and opaque.
    const GifImageDesc& afterClear = gif.file->SavedImages[5].ImageDesc;
    EXPECT_EQ(afterClear.Width * afterClear.Height, 40 * 20);
    EXPECT_EQ(gif.controls[5].TransparentColor, NO_TRANSPARENT_COLOR);
    // An unchanged frame still exists, as one see-through pixel.
    const GifImageDesc& still = gif.file->SavedImages[6].ImageDesc;
    EXPECT_EQ(still.Width * still.Height, 1);
}

TEST(GifEncoder, RefusesFramesItCannotWrite) {
    EXPECT_THROW(artgen::encodeAnimatedGif({}), std::invalid_argument);
    EXPECT_THROW(artgen::encodeAnimatedGif({{scene(2, false), 10, 3}}), std::invalid_argument);
    EXPECT_THROW(artgen::encodeAnimatedGif({{scene(2, false), 10, 1}, {checker(8, 8, 1), 10, 1}}),
                 std::invalid_argument);
    EXPECT_THROW(artgen::encodeAnimatedGif({{scene(2, false), 10, 0}}), std::invalid_argument);
}

TEST(GifPalette, ExactForFewColoursAndBoundedForMany) {
    const std::vector<QRgb> few = artgen::buildPalette({scene(2, true)}, 255);
    EXPECT_EQ(few.size(), 3u);
    QImage gradient(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) gradient.setPixel(x, y, qRgb(x, y * 4, 255 - x));
    const std::vector<QRgb> many = artgen::buildPalette({gradient}, 255);
    EXPECT_EQ(many.size(), 255u);
    EXPECT_EQ(many, artgen::buildPalette({gradient}, 255));
    // Median cut spreads the entries: every pixel finds one within a small distance.
    int worst = 0;
    for (int y = 0; y < 64; y += 3)
        for (int x = 0; x < 256; x += 5) {
            int best = 1 << 30;
            for (QRgb c : many) {
                const int dr = qRed(c) - x, dg = qGreen(c) - y * 4, db = qBlue(c) - (255 - x);
                best = std::min(best, dr * dr + dg * dg + db * db);
            }
            worst = std::max(worst, best);
        }
    EXPECT_LT(worst, 24 * 24);
}

}  // namespace
