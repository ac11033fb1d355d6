// Capture drivers by index: the V4L2 capture devices in device order, then
// the virtual camera (when one is configured) at the first free index.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/capture/virtual_camera.h"

namespace platform::capture {

struct DriverEntry {
  enum class Kind { kV4l2, kVirtual };
  Kind kind = Kind::kV4l2;
  std::string name;
  std::string version;
  std::string device;            // kV4l2: /dev/videoN
  VirtualCamera virtual_camera;  // kVirtual
};

inline constexpr int kMaxDriverCount = 10;

std::vector<DriverEntry> EnumerateDrivers(const std::optional<VirtualCamera>& virtual_camera,
                                          const std::string& device_folder = "/dev");

}  // namespace platform::capture
