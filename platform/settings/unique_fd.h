// Owns a POSIX file descriptor and closes it once.
#pragma once

#include <system_error>

namespace platform::settings {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd();
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Closes now; close() reports write-back errors that write() may not have.
  std::error_code Close();

 private:
  int fd_;
};

}  // namespace platform::settings
