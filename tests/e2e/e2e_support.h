// Files and media checks for the end-to-end tests.
#pragma once

#include <filesystem>
#include <string>

namespace orvantix::testing {

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& text);

// What an independent tool (gst-discoverer-1.0) reads from a media file.
struct MediaInfo {
  bool ok = false;
  int width = 0;
  int height = 0;
  double seconds = 0;
  double frameRate = 0;
  std::string raw;
};
MediaInfo Discover(const std::filesystem::path& file);

}  // namespace orvantix::testing
