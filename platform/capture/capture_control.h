// The capture control as its users see it: driver enumeration, driver
// dialogs, preview frames, AVI capture and still frames.
//
// Error contract: members that the caller must be able to refuse throw
// CaptureError (SetDriverIndex when the driver cannot be connected,
// StartCapture when the file cannot be created or the pipeline will not run,
// SaveFrameDib when no frame is at hand or the file cannot be written).
// Every other member never throws. Events arrive on the UI thread, one at a
// time; a handler is never entered again while it runs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform::capture {

// Header of one delivered frame. The data is raw 24-bit BGR, top-down,
// rows packed (stride = width * 3); it and the header stay valid only while
// the event that carries them runs.
struct FrameHeader {
  std::uint8_t* lpData = nullptr;
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesUsed = 0;
  std::uint32_t dwTimeCaptured = 0;  // milliseconds since the stream started
  std::uintptr_t dwUser = 0;
  std::uint32_t dwFlags = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class CaptureError : public std::runtime_error {
 public:
  CaptureError(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int Number() const { return number_; }

 private:
  int number_;
};

// Error numbers carried by CaptureError.
enum CaptureErrorNumber : int {
  kErrNoDriver = 1,         // no driver at that index
  kErrDriverConnect = 2,    // the device would not open or play
  kErrCaptureFile = 3,      // the capture file cannot be created
  kErrCapturePipeline = 4,  // the capture would not start
  kErrNoFrame = 5,          // no frame at hand for a still
  kErrStillFile = 6,        // the still file cannot be written
};

class CaptureEvents {
 public:
  virtual ~CaptureEvents() = default;
  virtual void FrameCallback(const FrameHeader& header) = 0;
  virtual void StreamCallback(const FrameHeader& header) = 0;
  virtual void StatusCallback(int code, const std::string& text) = 0;
};

class CaptureControl {
 public:
  static constexpr int kMaxDrivers = 10;

  virtual ~CaptureControl() = default;

  virtual void SetEventSink(CaptureEvents* sink) = 0;

  // Empty name: no driver at that index (0-9).
  virtual std::string DriverName(int index) = 0;
  virtual std::string DriverVersion(int index) = 0;

  virtual int DriverIndex() const = 0;
  virtual void SetDriverIndex(int index) = 0;  // throws CaptureError

  virtual bool HasSourceDialog() const = 0;
  virtual bool HasFormatDialog() const = 0;
  virtual void ShowSourceDialog() = 0;
  virtual void ShowFormatDialog() = 0;
  virtual void ShowCompressionDialog() = 0;
  virtual void ShowAudioFormatDialog() = 0;

  virtual bool HasAudio() const = 0;
  virtual bool CaptureAudio() const = 0;
  virtual void SetCaptureAudio(bool on) = 0;

  virtual std::int32_t FrameRate() const = 0;
  virtual void SetFrameRate(std::int32_t fps) = 0;

  virtual std::string CaptureFile() const = 0;
  virtual void SetCaptureFile(const std::string& path) = 0;
  virtual void StartCapture() = 0;  // throws CaptureError
  virtual void StopCapture() = 0;   // returns once the file is complete
  virtual bool IsCapturing() const = 0;

  virtual bool HasOverlay() const = 0;
  virtual void SetOverlay(bool on) = 0;
  virtual void SetPreview(bool on) = 0;

  virtual void SaveFrameDib(const std::string& path) = 0;  // throws CaptureError

  // Fixed start-up options 1-9; their meaning is the control's own.
  virtual void SetOption(int number, int value) = 0;
};

}  // namespace platform::capture
