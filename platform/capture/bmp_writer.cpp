#include "platform/capture/bmp_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace platform::capture {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMeter = 2835;  // 72 dpi

void Put16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::runtime_error SystemError(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const std::uint8_t* bgr, int width, int height,
                                      std::size_t stride) {
  if (width <= 0 || height <= 0) throw std::runtime_error("Empty picture");
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  const std::size_t padded = (row + 3) & ~std::size_t{3};
  const std::size_t image = padded * static_cast<std::size_t>(height);
  const std::size_t offset = kFileHeaderSize + kInfoHeaderSize;
  if (image > 0xFFFFFFFFu - offset) throw std::runtime_error("Picture too large for a bitmap");

  std::vector<std::uint8_t> file(offset + image, 0);
  std::uint8_t* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<std::uint32_t>(file.size()));
  Put32(h + 10, static_cast<std::uint32_t>(offset));
  std::uint8_t* info = h + kFileHeaderSize;
  Put32(info + 0, kInfoHeaderSize);
  Put32(info + 4, static_cast<std::uint32_t>(width));
  Put32(info + 8, static_cast<std::uint32_t>(height));  // positive: bottom-up
  Put16(info + 12, 1);                                  // planes
  Put16(info + 14, 24);                                 // bits per pixel
  Put32(info + 16, 0);                                  // BI_RGB
  Put32(info + 20, static_cast<std::uint32_t>(image));
  Put32(info + 24, kPixelsPerMeter);
  Put32(info + 28, kPixelsPerMeter);

  std::uint8_t* pixels = h + offset;
  for (int y = 0; y < height; ++y) {
    std::memcpy(pixels + static_cast<std::size_t>(height - 1 - y) * padded,
                bgr + static_cast<std::size_t>(y) * stride, row);
  }
  return file;
}

void WriteBmp24(const std::string& path, const std::uint8_t* bgr, int width, int height,
                std::size_t stride) {
  const std::vector<std::uint8_t> file = EncodeBmp24(bgr, width, height, stride);
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) throw SystemError("Cannot create", temp);
  auto fail = [&](const char* what) {
    const int saved = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    return SystemError(what, path);
  };
  if (::fchmod(fd, 0644) < 0) throw fail("Cannot set the mode of");
  std::size_t written = 0;
  while (written < file.size()) {
    const ssize_t n = ::write(fd, file.data() + written, file.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) throw fail("Cannot write");
    written += static_cast<std::size_t>(n);
  }
  if (::close(fd) < 0) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    throw SystemError("Cannot write", path);
  }
  if (::rename(temp.c_str(), path.c_str()) < 0) {
    const int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    throw SystemError("Cannot replace", path);
  }
}

}  // namespace platform::capture
