#include "writers.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

// jpeglib.h relies on size_t and FILE being declared before it.
#include <jpeglib.h>

namespace artgen {
namespace {

void putLe16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void putLe32(QByteArray& out, qint64 value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

QByteArray encodeBmp24(const QImage& image) {
    if (image.isNull()) throw std::invalid_argument("encodeBmp24: empty image");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const int stride = (width * 3 + 3) & ~3;
    const qint64 pixelBytes = qint64(stride) * height;

    QByteArray out;
    out.reserve(54 + pixelBytes);
    out.append("BM");
    putLe32(out, 54 + pixelBytes);
    putLe32(out, 0);   // reserved
    putLe32(out, 54);  // offset of the pixels
    putLe32(out, 40);  // BITMAPINFOHEADER
    putLe32(out, width);
    putLe32(out, height);  // positive: rows run bottom-up
    putLe16(out, 1);       // planes
    putLe16(out, 24);
    putLe32(out, 0);  // BI_RGB, uncompressed
    putLe32(out, pixelBytes);
    putLe32(out, 3780);  // 96 dpi in pixels per metre
    putLe32(out, 3780);
    putLe32(out, 0);
    putLe32(out, 0);

    for (int y = height - 1; y >= 0; --y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            out.append(static_cast<char>(line[3 * x + 2]));  // blue
            out.append(static_cast<char>(line[3 * x + 1]));  // green
            out.append(static_cast<char>(line[3 * x]));      // red
        }
        for (int pad = width * 3; pad < stride; ++pad) out.append('\0');
    }
    return out;
}

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

}  // namespace

QByteArray encodeJpeg(const QImage& image, int quality) {
    if (image.isNull()) throw std::invalid_argument("encodeJpeg: empty image");
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = jpegFail;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        throw std::runtime_error("encodeJpeg: libjpeg failed");
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    // Full-resolution chroma: the pictures carry small coloured lettering.
    info.comp_info[0].h_samp_factor = 1;
    info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return out;
}

}  // namespace artgen
