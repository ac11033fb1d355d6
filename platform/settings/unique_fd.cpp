#include "platform/settings/unique_fd.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform::settings {

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

std::error_code UniqueFd::Close() {
  const int fd = std::exchange(fd_, -1);
  if (fd < 0 || ::close(fd) == 0) return {};
  return {errno, std::system_category()};
}

}  // namespace platform::settings
