// Plain values behind the driver dialogs: device controls, frame formats and
// the sound format. Shared by the capture widget, its backends and dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace platform::capture {

struct DriverControl {
  enum class Type { kInteger, kBoolean, kMenu };
  std::uint32_t id = 0;
  std::string name;
  Type type = Type::kInteger;
  std::int32_t minimum = 0;
  std::int32_t maximum = 0;
  std::int32_t step = 1;
  std::int32_t default_value = 0;
  std::int32_t value = 0;
  std::vector<std::pair<std::int32_t, std::string>> items;  // kMenu: value and text

  // An integer control with a step of one.
  static DriverControl Integer(std::uint32_t id, std::string name, std::int32_t minimum,
                               std::int32_t maximum, std::int32_t defaultValue, std::int32_t value);
};

struct FrameSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const FrameSize&, const FrameSize&) = default;
};

// One pixel format a device offers and the frame sizes it offers it in.
struct FormatOption {
  std::uint32_t fourcc = 0;  // 0: the source's own format
  std::string description;
  std::vector<FrameSize> sizes;
};

// The chosen format; zeros leave the choice to the device.
struct FormatChoice {
  std::uint32_t fourcc = 0;
  FrameSize size;
  friend bool operator==(const FormatChoice&, const FormatChoice&) = default;
};

struct AudioFormat {
  int sample_rate = 44100;
  int channels = 1;
  friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
};

constexpr std::uint32_t MakeFourcc(char a, char b, char c, char d) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24;
}

}  // namespace platform::capture
