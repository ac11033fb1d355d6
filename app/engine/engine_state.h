// The watch's state, owned by the main window's engine. Names are the ones
// the rest of the program uses for them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/capture/capture_control.h"

namespace orvantix {

using SteadyTime = std::chrono::steady_clock::time_point;

struct EngineState {
  // Start-up
  bool DebugMode = false;
  std::int16_t DeviceCount = 0;
  bool NoOverlay = false;
  std::int32_t PrevWidth = 0;
  std::int32_t PrevHeight = 0;
  // Picture frame size before clamping, so that a window shrunk below the
  // margins and grown again gets its frame back.
  std::int32_t PicFrameWidth = 0;
  std::int32_t PicFrameHeight = 0;

  // Settings read once at start-up
  std::string VidPath;
  std::string EMail;
  std::string SMTPServer;
  std::int32_t LowSpace = 20;
  std::string RemotePW;  // decoded
  int Notify = 1;
  int APM = 0;
  std::string SAVER;
  bool SuspendRefresh = true;

  // Motion detection
  std::int32_t BaseSize = 0;
  SteadyTime BaseTime{};
  float Threshold = 4.0f;
  float LastDeviation = 0.0f;
  std::int32_t LastSize = 0;
  std::int32_t FrameCount = 0;
  std::int32_t BaseCount = 0;
  std::string DriverStatus;
  platform::capture::FrameHeader FrameHeader{};
  std::string OutFile;

  // Recording cycle
  bool Armed = false;
  bool AwaitCalm = false;
  bool StopPending = false;
  SteadyTime StopRequestTime{};
  std::int16_t RecordSeconds = 0;
  std::int16_t TimeType = 0;
  std::int16_t RefreshSeconds = 0;
  std::int16_t RefreshRemaining = 0;
  bool Mailing = false;
  bool ForceRecord = false;
  std::string SnapshotDib;
  std::string SnapshotJpg;
};

}  // namespace orvantix
