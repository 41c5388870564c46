#include "zip_cipher.h"

namespace hk::pack {

namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

}  // namespace

const std::array<uint32_t, 256> Crc32::kTable = MakeTable();

uint32_t Crc32::Of(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const uint8_t b : bytes) crc = Step(crc, b);
    return ~crc;
}

TraditionalEncryptor::TraditionalEncryptor(std::string_view password)
    : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
    for (const char c : password) Stir(static_cast<uint8_t>(c));
}

void TraditionalEncryptor::Stir(uint8_t plain) {
    keys_[0] = Crc32::Step(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc32::Step(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

}  // namespace hk::pack
