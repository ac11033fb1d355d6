// A V4L2 device node opened for its identity, controls and formats. The
// capture itself runs in GStreamer (v4l2src); controls set here act on the
// running stream because V4L2 shares them between file handles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/driver_settings.h"

namespace platform::capture {

struct V4l2Identity {
  std::string card;
  std::string driver;
  std::uint32_t version = 0;  // KERNEL_VERSION encoding

  std::string VersionText() const;  // "uvcvideo 6.1.0"
};

class V4l2Device {
 public:
  explicit V4l2Device(const std::string& path);  // check IsOpen()
  ~V4l2Device();
  V4l2Device(const V4l2Device&) = delete;
  V4l2Device& operator=(const V4l2Device&) = delete;

  bool IsOpen() const { return fd_ >= 0; }

  // The identity when the device can capture video, else nullopt.
  std::optional<V4l2Identity> QueryCapture() const;

  std::vector<DriverControl> Controls() const;
  bool SetControl(std::uint32_t id, std::int32_t value) const;

  // Pixel formats that the pipeline can take, with their frame sizes.
  std::vector<FormatOption> Formats() const;

 private:
  int Ioctl(unsigned long request, void* arg) const;
  std::vector<FrameSize> FrameSizes(std::uint32_t fourcc) const;

  int fd_ = -1;
};

// GStreamer caps text for a V4L2 pixel format, empty when unsupported.
std::string CapsForFourcc(std::uint32_t fourcc);

}  // namespace platform::capture
