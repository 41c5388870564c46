// The program's icon: every size the desktop's icon theme asks for is embedded, square,
// with a see-through surround and an opaque badge, and the generator still draws it.
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "art.h"
#include "hk_assets.h"

namespace {

TEST(ProgramIcon, EverySizeIsEmbeddedWithATransparentSurround) {
    // Every size the generator draws is embedded but the largest, which only the
    // package installs.
    ASSERT_TRUE(std::equal(std::begin(artgen::kIconSizes), std::end(artgen::kIconSizes) - 1,
                           std::begin(hk::assets::kIconSizes), std::end(hk::assets::kIconSizes)));
    EXPECT_EQ(std::end(artgen::kIconSizes)[-1], 512);
    for (const int size : hk::assets::kIconSizes) {
        SCOPED_TRACE(size);
        const QImage stored(hk::assets::iconPath(size));
        ASSERT_EQ(stored.size(), QSize(size, size));
        ASSERT_TRUE(stored.hasAlphaChannel());
        EXPECT_EQ(qAlpha(stored.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(stored.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(stored.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(artgen::drawIcon(size).size(), stored.size());
    }
    EXPECT_THROW(hk::assets::iconPath(24), std::out_of_range);
}

}  // namespace
