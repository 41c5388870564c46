#include "write_all.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace hk::pack {

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, -1) < 0 && errno != EINTR) return false;
        } else {
            if (n == 0) errno = EIO;  // a write that takes nothing would spin for ever
            return false;
        }
    }
    return true;
}

}  // namespace hk::pack
