#include "archive/directory_listing.h"

#include <stdexcept>

namespace hk::archive {

std::vector<ListedMember> ListCentralDirectory(const std::string& path) {
    throw std::runtime_error("cannot list " + path);
}

}  // namespace hk::archive
