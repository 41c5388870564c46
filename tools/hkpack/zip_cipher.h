#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace hk::pack {

// The reflected CRC-32 of ZIP (polynomial 0xEDB88320).
class Crc32 {
  public:
    static uint32_t Of(std::span<const uint8_t> bytes);
    // One table step without the initial and final inversion, as the cipher uses it.
    static uint32_t Step(uint32_t crc, uint8_t byte) {
        return (crc >> 8) ^ kTable[(crc ^ byte) & 0xFF];
    }

  private:
    static const std::array<uint32_t, 256> kTable;
};

// The traditional PKWARE encryption: three keys stirred by every plain byte.
class TraditionalEncryptor {
  public:
    explicit TraditionalEncryptor(std::string_view password);

    uint8_t Encrypt(uint8_t plain) {
        const uint8_t cipher = plain ^ KeystreamByte();
        Stir(plain);
        return cipher;
    }
    void Encrypt(std::span<uint8_t> bytes) {
        for (uint8_t& b : bytes) b = Encrypt(b);
    }

  private:
    uint8_t KeystreamByte() const {
        const uint32_t t = (keys_[2] & 0xFFFF) | 2;
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }
    void Stir(uint8_t plain);

    std::array<uint32_t, 3> keys_;
};

}  // namespace hk::pack
