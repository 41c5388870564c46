// Reads a GIF with giflib and replays it the way a viewer composes frames.
#pragma once

#include <gif_lib.h>

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

struct DecodedGif {
    std::unique_ptr<GifFileType, void (*)(GifFileType*)> file{nullptr, nullptr};
    std::vector<GraphicsControlBlock> controls;  // one per frame
    std::vector<QImage> shown;                   // the picture after each frame is drawn
};

inline DecodedGif decodeGif(const QByteArray& bytes) {
    struct Source {
        const QByteArray* bytes;
        qsizetype at;
    };
    Source source{&bytes, 0};
    auto read = [](GifFileType* gif, GifByteType* out, int length) {
        auto* s = static_cast<Source*>(gif->UserData);
        const int n = int(std::min<qsizetype>(length, s->bytes->size() - s->at));
        std::memcpy(out, s->bytes->constData() + s->at, size_t(n));
        s->at += n;
        return n;
    };
    DecodedGif result;
    int error = 0;
    GifFileType* gif = DGifOpen(&source, read, &error);
    if (!gif) return result;
    result.file = {gif, [](GifFileType* g) {
                       int e = 0;
                       DGifCloseFile(g, &e);
                   }};
    if (DGifSlurp(gif) != GIF_OK) {
        result.file.reset();
        return result;
    }
    const int width = gif->SWidth, height = gif->SHeight;
    // Pixels never drawn stay this marker colour, so a test sees holes.
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(QColor(1, 2, 3));
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &control);
        result.controls.push_back(control);
        const SavedImage& frame = gif->SavedImages[i];
        const ColorMapObject* map =
            frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        const QImage before = canvas;
        const GifImageDesc& d = frame.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int index = frame.RasterBits[y * d.Width + x];
                if (index == control.TransparentColor) continue;
                const GifColorType c = map->Colors[index];
                if (d.Left + x < width && d.Top + y < height)
                    canvas.setPixel(d.Left + x, d.Top + y, qRgb(c.Red, c.Green, c.Blue));
            }
        result.shown.push_back(canvas);
        if (control.DisposalMode == DISPOSE_BACKGROUND)
            for (int y = 0; y < d.Height; ++y)
                for (int x = 0; x < d.Width; ++x)
                    if (d.Left + x < width && d.Top + y < height)
                        canvas.setPixel(d.Left + x, d.Top + y, qRgb(1, 2, 3));
        if (control.DisposalMode == DISPOSE_PREVIOUS) canvas = before;
    }
    return result;
}
