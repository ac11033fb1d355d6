#include "platform/capture/v4l2_device.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform::capture {
namespace {

std::string FixedText(const std::uint8_t* text, std::size_t size) {
  const auto* begin = reinterpret_cast<const char*>(text);
  return std::string(begin, strnlen(begin, size));
}

// Sizes offered for devices that describe a range instead of a list.
constexpr FrameSize kCommonSizes[] = {{160, 120},  {320, 240},  {640, 480},  {800, 600},
                                      {1024, 768}, {1280, 720}, {1920, 1080}};

}  // namespace

std::string V4l2Identity::VersionText() const {
  return driver + " " + std::to_string((version >> 16) & 0xff) + "." +
         std::to_string((version >> 8) & 0xff) + "." + std::to_string(version & 0xff);
}

V4l2Device::V4l2Device(const std::string& path)
    : fd_(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC)) {}

V4l2Device::~V4l2Device() {
  if (fd_ >= 0) ::close(fd_);
}

int V4l2Device::Ioctl(unsigned long request, void* arg) const {
  int result;
  do {
    result = ::ioctl(fd_, request, arg);
  } while (result < 0 && errno == EINTR);
  return result;
}

std::optional<V4l2Identity> V4l2Device::QueryCapture() const {
  if (fd_ < 0) return std::nullopt;
  v4l2_capability cap{};
  if (Ioctl(VIDIOC_QUERYCAP, &cap) < 0) return std::nullopt;
  const std::uint32_t caps =
      (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
  if (!(caps & V4L2_CAP_VIDEO_CAPTURE)) return std::nullopt;
  return V4l2Identity{FixedText(cap.card, sizeof cap.card),
                      FixedText(cap.driver, sizeof cap.driver), cap.version};
}

std::vector<DriverControl> V4l2Device::Controls() const {
  std::vector<DriverControl> controls;
  if (fd_ < 0) return controls;
  v4l2_queryctrl query{};
  query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
  while (Ioctl(VIDIOC_QUERYCTRL, &query) == 0) {
    const bool usable = !(query.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY |
                                         V4L2_CTRL_FLAG_INACTIVE));
    DriverControl control;
    control.id = query.id;
    control.name = FixedText(query.name, sizeof query.name);
    control.minimum = query.minimum;
    control.maximum = query.maximum;
    control.step = std::max<std::int32_t>(1, query.step);
    control.default_value = query.default_value;
    bool supported = true;
    switch (query.type) {
      case V4L2_CTRL_TYPE_INTEGER:
        control.type = DriverControl::Type::kInteger;
        break;
      case V4L2_CTRL_TYPE_BOOLEAN:
        control.type = DriverControl::Type::kBoolean;
        break;
      case V4L2_CTRL_TYPE_MENU:
      case V4L2_CTRL_TYPE_INTEGER_MENU:
        control.type = DriverControl::Type::kMenu;
        for (std::int32_t i = query.minimum; i <= query.maximum; ++i) {
          v4l2_querymenu item{};
          item.id = query.id;
          item.index = static_cast<std::uint32_t>(i);
          if (Ioctl(VIDIOC_QUERYMENU, &item) < 0) continue;
          control.items.emplace_back(i, query.type == V4L2_CTRL_TYPE_MENU
                                            ? FixedText(item.name, sizeof item.name)
                                            : std::to_string(item.value));
        }
        supported = !control.items.empty();
        break;
      default:
        supported = false;
    }
    if (usable && supported) {
      v4l2_control current{};
      current.id = query.id;
      control.value = Ioctl(VIDIOC_G_CTRL, &current) == 0 ? current.value : query.default_value;
      controls.push_back(std::move(control));
    }
    query.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
  }
  return controls;
}

bool V4l2Device::SetControl(std::uint32_t id, std::int32_t value) const {
  if (fd_ < 0) return false;
  v4l2_control control{};
  control.id = id;
  control.value = value;
  return Ioctl(VIDIOC_S_CTRL, &control) == 0;
}

std::vector<FrameSize> V4l2Device::FrameSizes(std::uint32_t fourcc) const {
  std::vector<FrameSize> sizes;
  v4l2_frmsizeenum size{};
  size.pixel_format = fourcc;
  for (size.index = 0; Ioctl(VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
    if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
      sizes.push_back(
          {static_cast<int>(size.discrete.width), static_cast<int>(size.discrete.height)});
      continue;
    }
    const auto& range = size.stepwise;
    for (const auto& common : kCommonSizes) {
      const auto w = static_cast<std::uint32_t>(common.width);
      const auto h = static_cast<std::uint32_t>(common.height);
      if (w >= range.min_width && w <= range.max_width && h >= range.min_height &&
          h <= range.max_height && (w - range.min_width) % std::max(1u, range.step_width) == 0 &&
          (h - range.min_height) % std::max(1u, range.step_height) == 0) {
        sizes.push_back(common);
      }
    }
    break;
  }
  return sizes;
}

std::vector<FormatOption> V4l2Device::Formats() const {
  std::vector<FormatOption> formats;
  if (fd_ < 0) return formats;
  v4l2_fmtdesc desc{};
  desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  for (desc.index = 0; Ioctl(VIDIOC_ENUM_FMT, &desc) == 0; ++desc.index) {
    if (CapsForFourcc(desc.pixelformat).empty()) continue;
    FormatOption option;
    option.fourcc = desc.pixelformat;
    option.description = FixedText(desc.description, sizeof desc.description);
    option.sizes = FrameSizes(desc.pixelformat);
    if (!option.sizes.empty()) formats.push_back(std::move(option));
  }
  return formats;
}

std::string CapsForFourcc(std::uint32_t fourcc) {
  switch (fourcc) {
    case V4L2_PIX_FMT_YUYV:
      return "video/x-raw,format=YUY2";
    case V4L2_PIX_FMT_UYVY:
      return "video/x-raw,format=UYVY";
    case V4L2_PIX_FMT_YVYU:
      return "video/x-raw,format=YVYU";
    case V4L2_PIX_FMT_YUV420:
      return "video/x-raw,format=I420";
    case V4L2_PIX_FMT_YVU420:
      return "video/x-raw,format=YV12";
    case V4L2_PIX_FMT_NV12:
      return "video/x-raw,format=NV12";
    case V4L2_PIX_FMT_NV21:
      return "video/x-raw,format=NV21";
    case V4L2_PIX_FMT_RGB24:
      return "video/x-raw,format=RGB";
    case V4L2_PIX_FMT_BGR24:
      return "video/x-raw,format=BGR";
    case V4L2_PIX_FMT_GREY:
      return "video/x-raw,format=GRAY8";
    case V4L2_PIX_FMT_MJPEG:
    case V4L2_PIX_FMT_JPEG:
      return "image/jpeg";
    default:
      return {};
  }
}

}  // namespace platform::capture
