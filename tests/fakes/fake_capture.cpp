#include "tests/fakes/fake_capture.h"

#include <algorithm>

namespace orvantix::testing {

using platform::capture::CaptureError;

void FakeCapture::DeliverFrame(std::vector<std::uint8_t>& bytes) {
  platform::capture::FrameHeader header;
  header.lpData = bytes.data();
  header.dwBufferLength = static_cast<std::uint32_t>(bytes.size());
  header.dwBytesUsed = static_cast<std::uint32_t>(bytes.size());
  if (!sink) return;
  if (capturing) sink->StreamCallback(header);
  sink->FrameCallback(header);
}

std::string FakeCapture::DriverName(int index) {
  if (index < 0 || index >= kMaxDrivers) return {};
  return names[static_cast<std::size_t>(index)];
}

std::string FakeCapture::DriverVersion(int index) {
  return DriverName(index).empty() ? std::string() : "fake 1.0";
}

void FakeCapture::SetDriverIndex(int index) {
  calls.push_back("SetDriverIndex " + std::to_string(index));
  if (DriverName(index).empty()) throw CaptureError(platform::capture::kErrNoDriver, "no driver");
  if (std::find(failingDrivers.begin(), failingDrivers.end(), index) != failingDrivers.end())
    throw CaptureError(platform::capture::kErrDriverConnect, "device busy");
  driverIndex = index;
}

void FakeCapture::StartCapture() {
  calls.push_back("StartCapture " + captureFile);
  if (failStartCapture)
    throw CaptureError(platform::capture::kErrCaptureFile, "cannot create " + captureFile);
  capturing = true;
}

void FakeCapture::StopCapture() {
  calls.push_back("StopCapture");
  capturing = false;
}

void FakeCapture::SetOverlay(bool on) {
  calls.push_back(std::string("Overlay ") + (on ? "on" : "off"));
  overlay = on;
}

void FakeCapture::SetPreview(bool on) {
  calls.push_back(std::string("Preview ") + (on ? "on" : "off"));
  preview = on;
}

void FakeCapture::SaveFrameDib(const std::string& path) {
  calls.push_back("SaveFrameDib " + path);
  if (failSaveFrameDib) throw CaptureError(platform::capture::kErrNoFrame, "no frame");
  stills.push_back(path);
}

void FakeCapture::SetOption(int number, int value) {
  calls.push_back("Option " + std::to_string(number) + "=" + std::to_string(value));
}

}  // namespace orvantix::testing
