#include "platform/capture/driver_list.h"

#include <gst/gst.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/capture/v4l2_device.h"

namespace platform::capture {
namespace {

// /dev/video* sorted by number, so indexes follow device order.
std::vector<std::pair<int, std::string>> VideoNodes(const std::string& folder) {
  std::vector<std::pair<int, std::string>> nodes;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("video")) continue;
    int number = 0;
    const char* begin = name.data() + 5;
    const char* end = name.data() + name.size();
    auto [ptr, ec] = std::from_chars(begin, end, number);
    if (ec != std::errc() || ptr != end) continue;
    nodes.emplace_back(number, entry.path().string());
  }
  std::sort(nodes.begin(), nodes.end());
  return nodes;
}

std::string VirtualVersion() {
  guint major = 0, minor = 0, micro = 0, nano = 0;
  gst_version(&major, &minor, &micro, &nano);
  return "Orvanta virtual camera 1.0, GStreamer " + std::to_string(major) + "." +
         std::to_string(minor) + "." + std::to_string(micro);
}

}  // namespace

std::vector<DriverEntry> EnumerateDrivers(const std::optional<VirtualCamera>& virtual_camera,
                                          const std::string& device_folder) {
  std::vector<DriverEntry> drivers;
  for (const auto& [number, path] : VideoNodes(device_folder)) {
    if (drivers.size() >= kMaxDriverCount) break;
    const V4l2Device device(path);
    const auto identity = device.QueryCapture();
    if (!identity) continue;
    DriverEntry entry;
    entry.kind = DriverEntry::Kind::kV4l2;
    entry.name = identity->card;
    entry.version = identity->VersionText();
    entry.device = path;
    drivers.push_back(std::move(entry));
  }
  if (virtual_camera && drivers.size() < kMaxDriverCount) {
    DriverEntry entry;
    entry.kind = DriverEntry::Kind::kVirtual;
    entry.name = virtual_camera->Name();
    entry.version = VirtualVersion();
    entry.virtual_camera = *virtual_camera;
    drivers.push_back(std::move(entry));
  }
  return drivers;
}

}  // namespace platform::capture
