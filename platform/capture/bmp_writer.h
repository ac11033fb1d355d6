// 24-bit BMP files: BITMAPFILEHEADER (14 bytes), BITMAPINFOHEADER (40
// bytes), then bottom-up rows padded to 4 bytes, little-endian throughout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::capture {

// The whole file for a top-down BGR picture with rows of stride bytes.
std::vector<std::uint8_t> EncodeBmp24(const std::uint8_t* bgr, int width, int height,
                                      std::size_t stride);

// Writes next to the target and renames, so a failure never leaves a partial
// file behind. Throws std::runtime_error with the reason.
void WriteBmp24(const std::string& path, const std::uint8_t* bgr, int width, int height,
                std::size_t stride);

}  // namespace platform::capture
