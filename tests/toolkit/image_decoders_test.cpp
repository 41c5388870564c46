#include <gtest/gtest.h>

#include <jpeglib.h>

#include <QColor>

#include "gif_writer.h"
#include "toolkit/gif_decoder.h"
#include "toolkit/jpeg_decoder.h"

using namespace hk::toolkit;
using hk::testing::makeGif;
using hk::testing::solid;
using hk::testing::TestFrame;

namespace {

// A w x h JPEG, left half red and right half blue, encoded with libjpeg.
std::vector<unsigned char> makeJpeg(int w, int h) {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(w);
    info.image_height = static_cast<JDIMENSION>(h);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (int x = 0; x < w; ++x) {
        row[x * 3] = x < w / 2 ? 255 : 0;
        row[x * 3 + 2] = x < w / 2 ? 0 : 255;
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&info, &p, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<unsigned char> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

const std::vector<QRgb> kPalette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0),
                                    qRgb(0, 0, 255)};

}  // namespace

TEST(JpegDecoding, DecodesSizeAndColours) {
    const auto data = makeJpeg(64, 24);
    QImage image;
    std::string error;
    ASSERT_TRUE(decodeJpeg(data, image, error)) << error;
    EXPECT_EQ(image.size(), QSize(64, 24));
    const QColor left = image.pixelColor(8, 12), right = image.pixelColor(56, 12);
    EXPECT_GT(left.red(), 230);
    EXPECT_LT(left.blue(), 25);
    EXPECT_GT(right.blue(), 230);
    EXPECT_LT(right.red(), 25);
}

TEST(JpegDecoding, TruncatedOrDamagedStreamsFailWithAReason) {
    const auto data = makeJpeg(320, 200);
    QImage image;
    std::string error;
    std::vector<unsigned char> half(data.begin(), data.begin() + data.size() / 2);
    EXPECT_FALSE(decodeJpeg(half, image, error));
    EXPECT_TRUE(image.isNull());
    EXPECT_FALSE(error.empty());

    std::vector<unsigned char> headerOnly(data.begin(), data.begin() + 20);
    EXPECT_FALSE(decodeJpeg(headerOnly, image, error));
    const std::vector<unsigned char> garbage(100, 0x5A);
    EXPECT_FALSE(decodeJpeg(garbage, image, error));
    EXPECT_FALSE(decodeJpeg({}, image, error));
    // The decoder is still usable after every failure.
    EXPECT_TRUE(decodeJpeg(data, image, error)) << error;
}

TEST(GifDecoding, FramesCarryPlaceDelayDisposalAndTransparency) {
    TestFrame a{QRect(0, 0, 8, 4), solid(QRect(0, 0, 8, 4), 1), 0, 1};
    TestFrame b{QRect(2, 1, 3, 2), solid(QRect(2, 1, 3, 2), 2), 20, 2, 2};
    b.localPalette = {qRgb(9, 9, 9), qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(1, 2, 3)};
    TestFrame c{QRect(0, 0, 8, 4), solid(QRect(0, 0, 8, 4), 3), 7, 3};
    c.controlBlock = false;
    GifPicture picture;
    std::string error;
    ASSERT_TRUE(decodeGif(makeGif({8, 4}, kPalette, {a, b, c}), picture, error)) << error;
    EXPECT_EQ(picture.screen, QSize(8, 4));
    ASSERT_EQ(picture.frames.size(), 3u);
    EXPECT_EQ(picture.frames[0].delayMs(), 0);
    EXPECT_EQ(picture.frames[0].disposal, 1);
    EXPECT_FALSE(picture.frames[0].transparentColor());
    EXPECT_EQ(picture.frames[0].colorAt(1), qRgb(255, 0, 0));
    const GifFrame& f1 = picture.frames[1];
    EXPECT_EQ(f1.rect, QRect(2, 1, 3, 2));
    EXPECT_EQ(f1.delayHundredths, 20);
    EXPECT_EQ(f1.delayMs(), 200);
    EXPECT_EQ(f1.disposal, 2);
    EXPECT_TRUE(f1.localPalette);
    EXPECT_EQ(f1.transparentIndex, 2);
    EXPECT_EQ(f1.transparentColor(), qRgb(40, 50, 60));
    // A frame without a control extension has no delay and no transparency.
    EXPECT_EQ(picture.frames[2].delayHundredths, 0);
    EXPECT_EQ(picture.frames[2].disposal, 0);
    EXPECT_EQ(picture.frames[2].transparentIndex, -1);
}

TEST(GifDecoding, InterlacedRowsComeOutTopDown) {
    const QRect r(0, 0, 2, 11);
    TestFrame f{r, {}, 0, 0};
    for (int y = 0; y < 11; ++y) f.indices.insert(f.indices.end(), {std::uint8_t(y % 4), 0});
    f.interlace = true;
    GifPicture picture;
    std::string error;
    ASSERT_TRUE(decodeGif(makeGif({2, 11}, kPalette, {f}), picture, error)) << error;
    EXPECT_EQ(picture.frames[0].indices, f.indices);
}

TEST(GifDecoding, EmptyHugeOutOfScreenAndDamagedPictures) {
    GifPicture picture;
    std::string error;
    ASSERT_TRUE(decodeGif(makeGif({16, 16}, kPalette, {}), picture, error)) << error;
    EXPECT_TRUE(picture.empty());

    // A 60000 x 60000 screen is refused before anything of that size is allocated.
    const QRect one(0, 0, 1, 1);
    EXPECT_FALSE(decodeGif(makeGif({60000, 60000}, kPalette, {TestFrame(one, solid(one, 1))}),
                           picture, error));
    EXPECT_NE(error.find("60000"), std::string::npos) << error;
    EXPECT_TRUE(picture.empty());

    const QRect outside(10, 10, 8, 8);
    EXPECT_FALSE(decodeGif(makeGif({16, 16}, kPalette, {TestFrame(outside, solid(outside, 1))}),
                           picture, error));
    EXPECT_NE(error.find("outside"), std::string::npos) << error;

    // Two full 4096 x 4096 frames: little LZW data, 32 MB of indices.
    const QRect big(0, 0, 4096, 4096);
    const std::vector<TestFrame> two(2, TestFrame(big, solid(big, 1)));
    EXPECT_FALSE(decodeGif(makeGif({4096, 4096}, kPalette, two), picture, error));
    EXPECT_NE(error.find("pixels"), std::string::npos) << error;
    EXPECT_TRUE(picture.empty());

    const QRect full(0, 0, 16, 16);
    auto data = makeGif({16, 16}, kPalette, {TestFrame(full, solid(full, 1))});
    data.resize(data.size() - 8);
    EXPECT_FALSE(decodeGif(data, picture, error));
    const std::vector<unsigned char> notGif = {'G', 'I', 'F', '0', '0', '0'};
    EXPECT_FALSE(decodeGif(notGif, picture, error));
}
