#pragma once
// JPEG pictures of the layouts (the banner strip and the splash picture), decoded by
// libjpeg straight from memory.

#include <QImage>
#include <cstddef>
#include <span>
#include <string>

namespace hk::toolkit {

// Decodes a baseline or progressive JPEG into an RGB32 image. On failure returns false,
// leaves `image` null and puts libjpeg's reason in `error`; a damaged or truncated
// stream never aborts the process.
bool decodeJpeg(std::span<const unsigned char> data, QImage& image, std::string& error);

}  // namespace hk::toolkit
