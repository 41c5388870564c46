#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <map>
#include <stdexcept>
#include <string>

#include "writers.h"

namespace artgen {
namespace {

struct ColourCount {
    QRgb rgb;
    qint64 count;
};

int channel(QRgb rgb, int which) {
    return which == 0 ? qRed(rgb) : which == 1 ? qGreen(rgb) : qBlue(rgb);
}

int widestChannel(const std::vector<ColourCount>& box, int* range) {
    int best = 0;
    *range = -1;
    for (int c = 0; c < 3; ++c) {
        int lo = 255, hi = 0;
        for (const ColourCount& e : box) {
            lo = std::min(lo, channel(e.rgb, c));
            hi = std::max(hi, channel(e.rgb, c));
        }
        if (hi - lo > *range) {
            *range = hi - lo;
            best = c;
        }
    }
    return best;
}

QRgb average(const std::vector<ColourCount>& box) {
    qint64 total = 0, r = 0, g = 0, b = 0;
    for (const ColourCount& e : box) {
        total += e.count;
        r += qRed(e.rgb) * e.count;
        g += qGreen(e.rgb) * e.count;
        b += qBlue(e.rgb) * e.count;
    }
    return qRgb(int((r + total / 2) / total), int((g + total / 2) / total),
                int((b + total / 2) / total));
}

// Green weighs most and blue least, roughly as the eye sees differences.
int distance(QRgb a, QRgb b) {
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int writeToByteArray(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

void check(int status, const char* what) {
    if (status != GIF_OK) throw std::runtime_error(std::string("encodeAnimatedGif: ") + what);
}

constexpr int kTransparentIndex = 255;

}  // namespace

std::vector<QRgb> buildPalette(const std::vector<QImage>& pictures, int maxColours) {
    std::map<QRgb, qint64> histogram;
    for (const QImage& picture : pictures) {
        const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x) ++histogram[line[x] | 0xFF000000u];
        }
    }
    std::vector<QRgb> palette;
    if (histogram.size() <= static_cast<size_t>(maxColours)) {
        for (const auto& [rgb, count] : histogram) palette.push_back(rgb);
        return palette;
    }

    std::vector<std::vector<ColourCount>> boxes(1);
    for (const auto& [rgb, count] : histogram) boxes[0].push_back({rgb, count});
    while (boxes.size() < static_cast<size_t>(maxColours)) {
        int chosen = -1, chosenRange = 0, chosenChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            int range = 0;
            const int c = widestChannel(boxes[i], &range);
            if (range > chosenRange) {
                chosen = static_cast<int>(i);
                chosenRange = range;
                chosenChannel = c;
            }
        }
        if (chosen < 0) break;
        std::vector<ColourCount>& box = boxes[static_cast<size_t>(chosen)];
        std::sort(box.begin(), box.end(), [&](const ColourCount& a, const ColourCount& b) {
            const int ca = channel(a.rgb, chosenChannel), cb = channel(b.rgb, chosenChannel);
            return ca != cb ? ca < cb : a.rgb < b.rgb;
        });
        qint64 total = 0;
        for (const ColourCount& e : box) total += e.count;
        qint64 running = 0;
        size_t cut = 1;
        for (size_t i = 0; i + 1 < box.size(); ++i) {
            running += box[i].count;
            cut = i + 1;
            if (2 * running >= total) break;
        }
        std::vector<ColourCount> upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    for (const auto& box : boxes) palette.push_back(average(box));
    return palette;
}

QByteArray encodeAnimatedGif(const std::vector<GifFrame>& frames) {
    if (frames.empty()) throw std::invalid_argument("encodeAnimatedGif: no frames");
    const int width = frames[0].picture.width();
    const int height = frames[0].picture.height();
    std::vector<QImage> pictures;
    for (const GifFrame& f : frames) {
        if (f.picture.size() != frames[0].picture.size())
            throw std::invalid_argument("encodeAnimatedGif: frames differ in size");
        if (f.disposal < 1 || f.disposal > 3)
            throw std::invalid_argument("encodeAnimatedGif: disposal must be 1, 2 or 3");
        pictures.push_back(f.picture.convertToFormat(QImage::Format_RGB32));
    }
    if (frames[0].disposal == 3)
        throw std::invalid_argument("encodeAnimatedGif: the first frame has nothing to restore");

    const std::vector<QRgb> palette = buildPalette(pictures, kTransparentIndex);
    std::array<GifColorType, 256> colours{};
    for (size_t i = 0; i < palette.size(); ++i)
        colours[i] = {GifByteType(qRed(palette[i])), GifByteType(qGreen(palette[i])),
                      GifByteType(qBlue(palette[i]))};
    // A colour no picture uses, so a decoder that ignores transparency shows it plainly.
    colours[kTransparentIndex] = {255, 0, 255};

    // Every picture as palette indices, nearest colour per distinct value.
    std::map<QRgb, GifPixelType> nearest;
    std::vector<std::vector<GifPixelType>> indexed;
    for (const QImage& picture : pictures) {
        std::vector<GifPixelType> pixels(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < width; ++x) {
                const QRgb rgb = line[x] | 0xFF000000u;
                auto found = nearest.find(rgb);
                if (found == nearest.end()) {
                    size_t best = 0;
                    for (size_t i = 1; i < palette.size(); ++i)
                        if (distance(rgb, palette[i]) < distance(rgb, palette[best])) best = i;
                    found = nearest.emplace(rgb, GifPixelType(best)).first;
                }
                pixels[size_t(y) * size_t(width) + size_t(x)] = found->second;
            }
        }
        indexed.push_back(std::move(pixels));
    }

    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToByteArray, &error);
    if (!gif) throw std::runtime_error("encodeAnimatedGif: cannot open encoder");
    try {
        EGifSetGifVersion(gif, true);
        ColorMapObject* map = GifMakeMapObject(256, colours.data());
        const int screen = EGifPutScreenDesc(gif, width, height, 8, 0, map);
        GifFreeMapObject(map);
        check(screen, "screen descriptor");

        // NETSCAPE2.0 application block: loop for ever.
        check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "loop block");
        check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "loop block");
        const GifByteType loop[3] = {1, 0, 0};
        check(EGifPutExtensionBlock(gif, 3, loop), "loop block");
        check(EGifPutExtensionTrailer(gif), "loop block");

        std::vector<GifPixelType> canvas;
        int previousDisposal = 0;
        for (size_t i = 0; i < frames.size(); ++i) {
            const std::vector<GifPixelType>& pixels = indexed[i];
            const bool whole = i == 0 || previousDisposal == 2;
            int left = 0, top = 0, right = width - 1, bottom = height - 1;
            if (!whole) {
                left = width, top = height, right = -1, bottom = -1;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const size_t at = size_t(y) * size_t(width) + size_t(x);
                        if (pixels[at] == canvas[at]) continue;
                        left = std::min(left, x), right = std::max(right, x);
                        top = std::min(top, y), bottom = std::max(bottom, y);
                    }
                if (right < 0) left = top = right = bottom = 0;  // nothing changed
            }
            GraphicsControlBlock control{};
            control.DisposalMode = frames[i].disposal;
            control.UserInputFlag = false;
            control.DelayTime = frames[i].delayHundredths;
            control.TransparentColor = whole ? NO_TRANSPARENT_COLOR : kTransparentIndex;
            GifByteType extension[4];
            const size_t length = EGifGCBToExtension(&control, extension);
            check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension),
                  "graphic control");
            check(EGifPutImageDesc(gif, left, top, right - left + 1, bottom - top + 1, false,
                                   nullptr),
                  "image descriptor");
            const std::vector<GifPixelType> before = canvas;
            if (whole) canvas = pixels;
            std::vector<GifPixelType> row;
            for (int y = top; y <= bottom; ++y) {
                row.clear();
                for (int x = left; x <= right; ++x) {
                    const size_t at = size_t(y) * size_t(width) + size_t(x);
                    row.push_back(!whole && pixels[at] == canvas[at] ? kTransparentIndex
                                                                     : pixels[at]);
                    canvas[at] = pixels[at];
                }
                check(EGifPutLine(gif, row.data(), int(row.size())), "pixels");
            }
            if (frames[i].disposal == 3) canvas = before;
            previousDisposal = frames[i].disposal;
        }
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        throw std::runtime_error("encodeAnimatedGif: cannot finish the file");
    return out;
}

}  // namespace artgen
