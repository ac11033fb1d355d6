// A capture control for engine tests: drivers and failures are set by the
// test, frames are delivered by the test.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/capture/capture_control.h"

namespace orvantix::testing {

class FakeCapture : public platform::capture::CaptureControl {
 public:
  std::array<std::string, kMaxDrivers> names{};
  std::vector<int> failingDrivers;  // SetDriverIndex throws for these
  bool failStartCapture = false;
  bool failSaveFrameDib = false;
  bool hasAudio = false;
  bool hasOverlay = false;
  std::vector<std::string> calls;   // dialogs, captures, stills, options
  std::vector<std::string> stills;  // paths given to SaveFrameDib
  int driverIndex = -1;
  bool captureAudio = false;
  std::int32_t frameRate = 0;
  std::string captureFile;
  bool capturing = false;
  bool overlay = false;
  bool preview = true;
  platform::capture::CaptureEvents* sink = nullptr;

  // Delivers a preview frame (and a stream frame while capturing).
  void DeliverFrame(std::vector<std::uint8_t>& bytes);

  void SetEventSink(platform::capture::CaptureEvents* s) override { sink = s; }
  std::string DriverName(int index) override;
  std::string DriverVersion(int index) override;
  int DriverIndex() const override { return driverIndex; }
  void SetDriverIndex(int index) override;
  bool HasSourceDialog() const override { return driverIndex >= 0; }
  bool HasFormatDialog() const override { return driverIndex >= 0; }
  void ShowSourceDialog() override { calls.push_back("ShowSourceDialog"); }
  void ShowFormatDialog() override { calls.push_back("ShowFormatDialog"); }
  void ShowCompressionDialog() override { calls.push_back("ShowCompressionDialog"); }
  void ShowAudioFormatDialog() override { calls.push_back("ShowAudioFormatDialog"); }
  bool HasAudio() const override { return hasAudio; }
  bool CaptureAudio() const override { return captureAudio; }
  void SetCaptureAudio(bool on) override { captureAudio = on; }
  std::int32_t FrameRate() const override { return frameRate; }
  void SetFrameRate(std::int32_t fps) override { frameRate = fps; }
  std::string CaptureFile() const override { return captureFile; }
  void SetCaptureFile(const std::string& path) override { captureFile = path; }
  void StartCapture() override;
  void StopCapture() override;
  bool IsCapturing() const override { return capturing; }
  bool HasOverlay() const override { return hasOverlay; }
  void SetOverlay(bool on) override;
  void SetPreview(bool on) override;
  void SaveFrameDib(const std::string& path) override;
  void SetOption(int number, int value) override;
};

}  // namespace orvantix::testing
