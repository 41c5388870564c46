#include "toolkit/gif_decoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace hk::toolkit {

std::optional<QRgb> GifFrame::transparentColor() const {
    if (transparentIndex < 0) return std::nullopt;
    return colorAt(static_cast<std::uint8_t>(transparentIndex));
}

std::optional<QRgb> GifPicture::transparentColor() const {
    for (const GifFrame& frame : frames) {
        if (auto color = frame.transparentColor()) return color;
    }
    return std::nullopt;
}

QRgb GifFrame::colorAt(std::uint8_t index) const {
    return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
}

namespace {

struct MemoryInput {
    std::span<const unsigned char> data;
    std::size_t pos = 0;
};

int readMemory(GifFileType* gif, GifByteType* buffer, int wanted) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const std::size_t left = in->data.size() - in->pos;
    const std::size_t n =
        std::min<std::size_t>(left, wanted > 0 ? static_cast<std::size_t>(wanted) : 0);
    if (n == 0) return 0;  // an empty span's data() may be null, which memcpy must not see
    std::memcpy(buffer, in->data.data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

std::vector<QRgb> toPalette(const ColorMapObject* map) {
    std::vector<QRgb> out;
    if (!map) return out;
    out.reserve(static_cast<std::size_t>(map->ColorCount));
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        out.push_back(qRgb(c.Red, c.Green, c.Blue));
    }
    return out;
}

std::string reason(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "GIF decoding failed";
}

// Reads everything after the header; fills `picture` or says why not.
bool readRecords(GifFileType* gif, GifPicture& picture, std::string& error) {
    // Control extension values waiting for the next image.
    int pendingDelay = 0, pendingDisposal = 0, pendingTransparent = -1;
    bool sawControl = false;
    long long totalPixels = 0;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            error = reason(gif->Error);
            return false;
        }
        if (type == TERMINATE_RECORD_TYPE) return true;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) {
                error = reason(gif->Error);
                return false;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                const int packed = block[1];
                const int delay = block[2] | (block[3] << 8);
                pendingDelay = sawControl ? std::max(pendingDelay, delay) : delay;
                pendingDisposal = (packed >> 2) & 7;
                pendingTransparent = (packed & 1) ? block[4] : -1;
                sawControl = true;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) {
                    error = reason(gif->Error);
                    return false;
                }
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) {
            error = reason(gif->Error);
            return false;
        }
        const GifImageDesc& desc = gif->Image;
        const QRect rect(desc.Left, desc.Top, desc.Width, desc.Height);
        if (desc.Width <= 0 || desc.Height <= 0 ||
            !QRect(QPoint(0, 0), picture.screen).contains(rect)) {
            error = "GIF frame " + std::to_string(picture.frames.size()) +
                    " lies outside the logical screen";
            return false;
        }
        totalPixels += static_cast<long long>(desc.Width) * desc.Height;
        if (totalPixels > kMaxGifTotalPixels) {
            error = "GIF frames hold more than " + std::to_string(kMaxGifTotalPixels) + " pixels";
            return false;
        }
        GifFrame frame;
        frame.rect = rect;
        frame.delayHundredths = pendingDelay;
        frame.disposal = pendingDisposal;
        frame.transparentIndex = pendingTransparent;
        frame.interlaced = desc.Interlace;
        frame.localPalette = desc.ColorMap != nullptr;
        frame.palette = desc.ColorMap ? toPalette(desc.ColorMap) : picture.globalPalette;
        frame.indices.assign(static_cast<std::size_t>(desc.Width) * desc.Height, 0);
        auto readRow = [&](int row) {
            return DGifGetLine(gif,
                               frame.indices.data() + static_cast<std::size_t>(row) * desc.Width,
                               desc.Width) != GIF_ERROR;
        };
        bool ok = true;
        if (desc.Interlace) {
            // Passes start at rows 0, 4, 2, 1 and step 8, 8, 4, 2.
            static constexpr int kStart[] = {0, 4, 2, 1};
            static constexpr int kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4 && ok; ++pass) {
                for (int row = kStart[pass]; row < desc.Height && ok; row += kStep[pass]) {
                    ok = readRow(row);
                }
            }
        } else {
            for (int row = 0; row < desc.Height && ok; ++row) ok = readRow(row);
        }
        if (!ok) {
            error = reason(gif->Error);
            return false;
        }
        picture.frames.push_back(std::move(frame));
        pendingDelay = 0, pendingDisposal = 0, pendingTransparent = -1;
        sawControl = false;
    }
}

}  // namespace

bool decodeGif(std::span<const unsigned char> data, GifPicture& picture, std::string& error) {
    picture = GifPicture{};
    MemoryInput input{data};
    int code = 0;
    GifFileType* gif = DGifOpen(&input, readMemory, &code);
    if (!gif) {
        error = reason(code);
        return false;
    }
    bool ok = true;
    if (gif->SWidth > kMaxGifScreenSide || gif->SHeight > kMaxGifScreenSide) {
        error = "GIF logical screen " + std::to_string(gif->SWidth) + " x " +
                std::to_string(gif->SHeight) + " is larger than " +
                std::to_string(kMaxGifScreenSide) + " x " + std::to_string(kMaxGifScreenSide);
        ok = false;
    } else {
        picture.screen = QSize(gif->SWidth, gif->SHeight);
        picture.backgroundIndex = gif->SBackGroundColor;
        picture.globalPalette = toPalette(gif->SColorMap);
        ok = readRecords(gif, picture, error);
    }
    DGifCloseFile(gif, &code);
    if (!ok) {
        picture = GifPicture{};
        return false;
    }
    error.clear();
    return true;
}

}  // namespace hk::toolkit
