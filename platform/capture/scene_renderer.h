// The virtual camera's built-in scene: a room with detail and sensor noise,
// and a visitor who walks through it during the motion phases (calm first,
// then motion, repeating). Frames are rendered on a streaming thread; the
// controls may be changed from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/capture/driver_settings.h"

namespace platform::capture {

struct SceneControls {
  int brightness = 0;  // -100..100
  int contrast = 100;  // percent, 0..200
  int noise = 3;       // sensor noise amplitude in levels, 0..20
  friend bool operator==(const SceneControls&, const SceneControls&) = default;
};

class SceneRenderer {
 public:
  static constexpr std::uint32_t kBrightnessId = 1;
  static constexpr std::uint32_t kContrastId = 2;
  static constexpr std::uint32_t kNoiseId = 3;

  SceneRenderer(int calm_seconds, int motion_seconds);

  void SetControls(const SceneControls& controls);
  SceneControls Controls() const;
  std::vector<DriverControl> ControlList() const;
  void SetControl(std::uint32_t id, std::int32_t value);

  // nullopt while calm, else how far the visitor has walked (0..1).
  std::optional<double> MotionProgress(std::uint64_t running_time_ns) const;

  // Draws the frame for a running time into a BGR picture (rows of stride bytes).
  void Render(std::uint8_t* data, int width, int height, int stride, std::uint64_t running_time_ns);

 private:
  void PrepareBackground(int width, int height, const SceneControls& controls);
  void PrepareNoise(int width, int height, int level);
  void DrawVisitor(std::uint8_t* data, int width, int height, int stride, double progress) const;
  void AddNoise(std::uint8_t* data, int width, int height, int stride);

  const std::uint64_t calm_ns_;
  const std::uint64_t motion_ns_;

  mutable std::mutex mutex_;
  SceneControls controls_;

  // Streaming-thread state, rebuilt when the size or the controls change.
  int background_width_ = 0;
  int background_height_ = 0;
  std::optional<SceneControls> background_controls_;
  std::vector<std::uint8_t> background_;  // packed BGR, controls applied
  std::array<std::uint8_t, 256> levels_{};
  int noise_width_ = 0;
  int noise_height_ = 0;
  int noise_level_ = -1;
  std::vector<std::int8_t> noise_;
  std::uint64_t random_state_ = 0x9E3779B97F4A7C15ull;
};

}  // namespace platform::capture
