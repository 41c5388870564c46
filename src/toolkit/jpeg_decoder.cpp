#include "toolkit/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace hk::toolkit {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return. We jump back
// to decodeJpeg's frame; nothing with a destructor is created between setjmp and the
// calls that may jump, so no C++ object is skipped over.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (a truncated stream, corrupt entropy data) would otherwise be printed and the
// missing part painted grey; a half picture is no picture for us.
void onMessage(j_common_ptr info, int level) {
    if (level < 0) onError(info);
}

// Beyond this the caller would get gigabytes for a crafted header; our pictures are
// a few hundred pixels on a side.
constexpr JDIMENSION kMaxSide = 8192;

}  // namespace

bool decodeJpeg(std::span<const unsigned char> data, QImage& image, std::string& error) {
    image = QImage();
    if (data.empty()) {
        error = "empty JPEG data";
        return false;
    }
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        image = QImage();
        error = err.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxSide || info.image_height > kMaxSide ||
        (info.jpeg_color_space != JCS_GRAYSCALE && info.num_components != 3)) {
        jpeg_destroy_decompress(&info);
        error = info.image_width > kMaxSide || info.image_height > kMaxSide
                    ? "JPEG picture too large"
                    : "unsupported JPEG colour space";
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    image = image.convertToFormat(QImage::Format_RGB32);
    error.clear();
    return true;
}

}  // namespace hk::toolkit
