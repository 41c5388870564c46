#pragma once

#include <cstdint>
#include <span>

namespace hk::pack {

// Writes all of `bytes` to `fd`, handing the kernel the whole rest each time:
// a short write (a signal, a full pipe) continues where it stopped, and a
// descriptor left non-blocking by the caller is waited on rather than given
// up. Returns false with errno set when the descriptor refuses the bytes.
bool WriteAll(int fd, std::span<const uint8_t> bytes);

}  // namespace hk::pack
