// Encoders for the three file formats the viewer embeds: uncompressed 24-bit BMP,
// baseline JPEG (libjpeg) and animated GIF89a (giflib).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

#include <vector>

namespace artgen {

// Bottom-up BITMAPINFOHEADER file, 24 bits per pixel, rows padded to four bytes.
QByteArray encodeBmp24(const QImage& image);

// Baseline JPEG with fixed settings, so the same picture always gives the same bytes.
QByteArray encodeJpeg(const QImage& image, int quality);

// One frame as the viewer should see it after the frame is drawn: a full picture of
// the logical screen. The encoder works out the smallest rectangle that changed and
// marks unchanged pixels transparent inside it.
struct GifFrame {
    QImage picture;
    int delayHundredths = 10;
    // What happens to the frame before the next one is drawn: 1 leave it in place,
    // 2 restore to background, 3 restore to the previous picture.
    int disposal = 1;
};

// Writes a looping GIF89a with one global palette (at most 255 colours; the last entry
// is the transparent colour). Frames that follow a restore-to-background frame are
// written whole and opaque, because decoders disagree on what "background" is.
QByteArray encodeAnimatedGif(const std::vector<GifFrame>& frames);

// Median-cut palette of at most maxColours entries for all given pictures; exact when
// the pictures use no more colours than that. Deterministic: ties break on the value.
std::vector<QRgb> buildPalette(const std::vector<QImage>& pictures, int maxColours);

}  // namespace artgen
