#pragma once
// GIF87a/GIF89a decoding through giflib into the frame data the banner animator
// composes: each frame's place on the logical screen, its delay, disposal and
// transparent index, and its colour indices with the palette that applies to it.

#include <QRect>
#include <QRgb>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace hk::toolkit {

// Larger logical screens are refused: a crafted header could otherwise make the
// composer allocate gigabytes (our banners are 468 x 60).
constexpr int kMaxGifScreenSide = 4096;
// LZW packs a large frame into a few kilobytes, so many frames of a small file could
// still add up to gigabytes of indices; the frames together may hold this many pixels.
constexpr long long kMaxGifTotalPixels = 24LL << 20;

struct GifFrame {
    QRect rect;                 // position and size within the logical screen
    int delayHundredths = 0;    // the largest delay among the frame's control extensions
    int disposal = 0;           // packed bits 2-4: 0/1 leave, 2 background, 3 previous
    int transparentIndex = -1;  // -1 when the extension sets no transparency
    bool interlaced = false;    // as stored; `indices` is always in top-down row order
    bool localPalette = false;  // `palette` is the frame's own table, else the global one
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> indices;  // rect.width() * rect.height(), row-major

    int delayMs() const { return delayHundredths * 10; }
    std::optional<QRgb> transparentColor() const;
    QRgb colorAt(std::uint8_t index) const;  // black for an index beyond the palette
};

struct GifPicture {
    QSize screen;             // logical screen size
    int backgroundIndex = 0;  // into the global palette
    std::vector<QRgb> globalPalette;
    std::vector<GifFrame> frames;

    bool empty() const { return frames.empty(); }
    // A picture is transparent when any of its frames is; its transparent
    // colour is the first such frame's.
    std::optional<QRgb> transparentColor() const;
};

// Returns false with a reason in `error` for data that is not a GIF, is damaged, has a
// logical screen beyond kMaxGifScreenSide, a frame reaching outside its screen, or frames
// beyond kMaxGifTotalPixels altogether.
// Zero frames is not an error: the picture is simply empty.
bool decodeGif(std::span<const unsigned char> data, GifPicture& picture, std::string& error);

}  // namespace hk::toolkit
