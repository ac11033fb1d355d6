#include "platform/capture/bmp_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace platform::capture {
namespace {

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::vector<std::uint8_t> Picture(int width, int height) {
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return bgr;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(BmpWriterTest, HeadersAndPaddedBottomUpRows) {
  // Row lengths 3, 6, 9, 12 and 15 bytes hit every padding case.
  for (int width = 1; width <= 5; ++width) {
    SCOPED_TRACE(width);
    const int height = 3;
    const auto bgr = Picture(width, height);
    const auto file = EncodeBmp24(bgr.data(), width, height, width * 3);
    const std::size_t padded = (width * 3 + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + padded * height);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 6), 0u);
    EXPECT_EQ(Get32(file, 10), 54u);
    EXPECT_EQ(Get32(file, 14), 40u);
    EXPECT_EQ(Get32(file, 18), static_cast<std::uint32_t>(width));
    EXPECT_EQ(Get32(file, 22), static_cast<std::uint32_t>(height));
    EXPECT_EQ(Get16(file, 26), 1);
    EXPECT_EQ(Get16(file, 28), 24);
    EXPECT_EQ(Get32(file, 30), 0u);
    EXPECT_EQ(Get32(file, 34), padded * height);
    for (int y = 0; y < height; ++y) {
      const std::size_t row = 54 + (height - 1 - y) * padded;
      for (int x = 0; x < width * 3; ++x) {
        ASSERT_EQ(file[row + x], bgr[y * width * 3 + x]) << "row " << y << " byte " << x;
      }
      for (std::size_t pad = width * 3; pad < padded; ++pad) EXPECT_EQ(file[row + pad], 0);
    }
  }
}

TEST(BmpWriterTest, ReadsRowsWithAStride) {
  const int width = 2, height = 2, stride = 8;
  const std::vector<std::uint8_t> bgr = {1, 2, 3, 4, 5, 6, 99, 99, 7, 8, 9, 10, 11, 12, 99, 99};
  const auto file = EncodeBmp24(bgr.data(), width, height, stride);
  const std::vector<std::uint8_t> pixels(file.begin() + 54, file.end());
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
}

TEST(BmpWriterTest, WritesTheFileAndReplacesAnOldOne) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("still.dib").toStdString();
  std::ofstream(path) << "old content";
  const auto bgr = Picture(3, 2);
  WriteBmp24(path, bgr.data(), 3, 2, 9);
  EXPECT_EQ(ReadFile(path), EncodeBmp24(bgr.data(), 3, 2, 9));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"still.dib"});
}

TEST(BmpWriterTest, FailureLeavesNoFile) {
  QTemporaryDir dir;
  const auto bgr = Picture(3, 2);
  const std::string missing = dir.filePath("missing/still.dib").toStdString();
  EXPECT_THROW(WriteBmp24(missing, bgr.data(), 3, 2, 9), std::runtime_error);
  // A folder in the way: the rename fails after the data was written.
  const std::string folder = dir.filePath("taken").toStdString();
  ASSERT_TRUE(QDir(dir.path()).mkpath("taken/inner"));
  EXPECT_THROW(WriteBmp24(folder, bgr.data(), 3, 2, 9), std::runtime_error);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
}

}  // namespace
}  // namespace platform::capture
