#pragma once
// Writes small GIF89a files in memory with giflib's encoder, so tests can describe the
// animation they need frame by frame.

#include <gif_lib.h>

#include <QRect>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace hk::testing {

struct TestFrame {
    TestFrame(QRect r, std::vector<std::uint8_t> pixels, int delayHundredths = 0,
              int disposalMethod = 0, int transparentIndex = -1)
        : rect(r),
          indices(std::move(pixels)),
          delay(delayHundredths),
          disposal(disposalMethod),
          transparent(transparentIndex) {}

    QRect rect;
    std::vector<std::uint8_t> indices;  // rect.width() * rect.height(), top-down rows
    int delay = 0;                      // hundredths
    int disposal = 0;
    int transparent = -1;
    bool interlace = false;
    std::vector<QRgb> localPalette;  // empty: use the global one
    bool controlBlock = true;        // write a graphic control extension
};

inline std::vector<std::uint8_t> solid(const QRect& r, std::uint8_t index) {
    return std::vector<std::uint8_t>(static_cast<std::size_t>(r.width() * r.height()), index);
}

namespace detail {
inline int writeBytes(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}
inline ColorMapObject* makeMap(const std::vector<QRgb>& colors) {
    if (colors.empty()) return nullptr;
    int count = 2;
    while (count < static_cast<int>(colors.size())) count *= 2;
    std::vector<GifColorType> table(static_cast<std::size_t>(count), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colors.size(); ++i) {
        table[i] = GifColorType{static_cast<GifByteType>(qRed(colors[i])),
                                static_cast<GifByteType>(qGreen(colors[i])),
                                static_cast<GifByteType>(qBlue(colors[i]))};
    }
    return GifMakeMapObject(count, table.data());
}
}  // namespace detail

inline std::vector<unsigned char> makeGif(QSize screen, const std::vector<QRgb>& global,
                                          const std::vector<TestFrame>& frames) {
    std::vector<unsigned char> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, detail::writeBytes, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    ColorMapObject* globalMap = detail::makeMap(global);
    EGifPutScreenDesc(gif, screen.width(), screen.height(), 8, 0, globalMap);
    for (const TestFrame& f : frames) {
        if (f.controlBlock) {
            GraphicsControlBlock gcb{f.disposal, false, f.delay, f.transparent};
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        }
        ColorMapObject* local = detail::makeMap(f.localPalette);
        if (!local && gif->Image.ColorMap) {
            // giflib forgets the previous frame's local table here instead of freeing it.
            GifFreeMapObject(gif->Image.ColorMap);
            gif->Image.ColorMap = nullptr;
        }
        EGifPutImageDesc(gif, f.rect.x(), f.rect.y(), f.rect.width(), f.rect.height(), f.interlace,
                         local);
        auto row = [&](int y) {
            auto* line = const_cast<GifPixelType*>(f.indices.data() +
                                                   static_cast<std::size_t>(y) * f.rect.width());
            EGifPutLine(gif, line, f.rect.width());
        };
        if (f.interlace) {
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = start[pass]; y < f.rect.height(); y += step[pass]) row(y);
            }
        } else {
            for (int y = 0; y < f.rect.height(); ++y) row(y);
        }
        if (local) GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &error);
    if (globalMap) GifFreeMapObject(globalMap);
    return out;
}

}  // namespace hk::testing
