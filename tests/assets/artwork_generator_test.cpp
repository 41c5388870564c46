// The generator against what is committed: a change to the drawing that was not followed
// by a regeneration of the embedded files shows up here.
#include <QFile>
#include <QFontDatabase>
#include <QImage>

#include <gtest/gtest.h>

#include "art.h"
#include "hk_assets.h"

namespace {

QImage embedded(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QImage::fromData(file.readAll(), "BMP").convertToFormat(QImage::Format_RGB32);
}

class ArtworkGenerator : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
            QFontDatabase::addApplicationFont(
                QStringLiteral("/usr/share/fonts/truetype/liberation2/") + name);
    }
};

TEST_F(ArtworkGenerator, DrawsEveryBitmapAsEmbeddedAtBothScales) {
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        const std::vector<QImage> first = artgen::drawCoolImages1(scale);
        const std::vector<QImage> second = artgen::drawCoolImages2(scale);
        ASSERT_EQ(int(first.size()), hk::assets::kCoolImages1Count);
        ASSERT_EQ(int(second.size()), hk::assets::kCoolImages2Count);
        // Strips and frame pieces are set pixel by pixel, so they must match exactly;
        // lettering and curves depend on the font renderer, so for those only the size.
        for (int i = 0; i < hk::assets::kCoolImages1Count; ++i) {
            SCOPED_TRACE(i);
            const QImage drawn = first[size_t(i)].convertToFormat(QImage::Format_RGB32);
            const QImage stored = embedded(scale == 1 ? hk::assets::coolImages1Path(i)
                                                      : hk::assets::coolImages1Path2x(i));
            EXPECT_EQ(drawn.size(), stored.size());
            if (i == 0 || i == 5 || i == 6 || i == 9) {
                EXPECT_EQ(drawn, stored);
            }
        }
        for (int i = 0; i < hk::assets::kCoolImages2Count; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(second[size_t(i)].convertToFormat(QImage::Format_RGB32),
                      embedded(scale == 1 ? hk::assets::coolImages2Path(i)
                                          : hk::assets::coolImages2Path2x(i)));
        }
    }
}

TEST_F(ArtworkGenerator, DrawsTheDoubleAfreshNotMagnified) {
    const std::vector<QImage> single = artgen::drawCoolImages1(1);
    const std::vector<QImage> doubled = artgen::drawCoolImages1(2);
    // Lettering, curves and gradients: none of them is the single picture's pixels
    // repeated (a magnification gives every 2 x 2 block one colour).
    for (const int i : {0, 3, 9, 10, 22, 29}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(doubled[size_t(i)].size(), single[size_t(i)].size() * 2);
        EXPECT_NE(doubled[size_t(i)].convertToFormat(QImage::Format_RGB32),
                  single[size_t(i)]
                      .scaled(single[size_t(i)].size() * 2)
                      .convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(artgen::drawBannerStrip(2).size(), QSize(600, 158));
    EXPECT_EQ(artgen::drawSplash(2).size(), QSize(640, 400));
}

TEST_F(ArtworkGenerator, DrawsPicturesAndBannersInTheirSizes) {
    EXPECT_EQ(artgen::drawBannerStrip().size(), QSize(300, 79));
    EXPECT_EQ(artgen::drawSplash().size(), QSize(320, 200));
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        const std::vector<artgen::GifFrame> frames = artgen::drawBanner(n);
        ASSERT_GE(frames.size(), 3u);
        for (const artgen::GifFrame& frame : frames)
            EXPECT_EQ(frame.picture.size(), QSize(468, 60));
        // Consecutive frames differ, or the animation would stand still.
        for (size_t i = 1; i < frames.size(); ++i)
            EXPECT_NE(frames[i].picture, frames[i - 1].picture) << "frame " << i;
    }
    EXPECT_THROW(artgen::drawBanner(5), std::invalid_argument);
}

}  // namespace
