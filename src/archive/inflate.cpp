#include "archive/inflate.h"

namespace hk::archive {

Inflater::Inflater() = default;

void Inflater::inflate(std::span<const uint8_t>, std::vector<uint8_t>&, size_t, const Progress&,
                       size_t) {
    throw DecodeError(ErrorCode::UnsupportedMethod);
}

}  // namespace hk::archive
