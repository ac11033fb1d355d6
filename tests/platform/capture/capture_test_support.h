// Helpers for the capture tests: an event recorder, an event loop with a
// deadline, environment overrides and a reader of gst-discoverer's report.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/capture/capture_control.h"

namespace capture_test {

using platform::capture::CaptureEvents;
using platform::capture::FrameHeader;

// Sets an environment variable for its lifetime; nullptr unsets it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

struct FrameRecord {
  bool stream = false;
  std::uint32_t bytes = 0;
  std::uint32_t time_ms = 0;
  int width = 0;
  int height = 0;
};

// Records every event; optional hooks run inside the handlers.
class EventRecorder : public CaptureEvents {
 public:
  void FrameCallback(const FrameHeader& header) override;
  void StreamCallback(const FrameHeader& header) override;
  void StatusCallback(int code, const std::string& text) override;

  int Count(bool stream) const;
  bool HasStatus(int code) const;

  std::vector<FrameRecord> frames;
  std::vector<std::pair<int, std::string>> statuses;
  std::function<void(const FrameHeader&, bool stream)> on_frame;
  int depth = 0;
  int max_depth = 0;

 private:
  void Enter();
};

// Runs the Qt event loop until done() or the timeout; returns done().
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void RunFor(std::chrono::milliseconds duration);

struct MediaInfo {
  bool readable = false;
  double duration_s = 0;
  int width = 0;
  int height = 0;
  std::string frame_rate;
  bool has_audio = false;
  int sample_rate = 0;
  int channels = 0;
  std::string report;
};

// What gst-discoverer-1.0 -v reports about a file.
MediaInfo Discover(const std::string& path);

// Writes a Motion JPEG AVI test clip with gst-launch-1.0.
bool MakeClip(const std::string& path, int frames, int width, int height, int fps);

// Index of the virtual camera among the drivers, or -1.
int VirtualIndex(platform::capture::CaptureControl& control);

}  // namespace capture_test
