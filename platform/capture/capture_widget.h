// Kelvra, the capture control of the main window, over GStreamer. It shows
// the live picture of the connected driver, raises the frame events and
// writes captures and stills; see CaptureControl for the contract.
//
// Threads: GStreamer's streaming threads never call into the program. They
// only post to the UI thread, which pulls the newest frame and raises the
// events there. Status texts come through StatusCallback with CaptureStatus
// codes.
#pragma once

#include <QDeadlineTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/capture_control.h"
#include "platform/capture/driver_settings.h"

typedef struct _GstMessage GstMessage;

namespace platform::capture {

struct DriverEntry;
class AudioInput;
class EventDispatcher;
class PreviewPipeline;
class RecordingBranch;
class SceneRenderer;

enum CaptureStatus : int {
  kStatusConnected = 1,
  kStatusPreviewStarted = 2,
  kStatusPreviewStopped = 3,
  kStatusCaptureStarted = 4,
  kStatusCaptureFinished = 5,
  kStatusCaptureIncomplete = 6,
  kStatusDeviceError = 100,
  kStatusDeviceLost = 101,
  kStatusCaptureError = 102,
};

class CaptureWidget : public QWidget, public CaptureControl {
 public:
  explicit CaptureWidget(QWidget* parent = nullptr);
  ~CaptureWidget() override;

  void SetEventSink(CaptureEvents* sink) override;

  std::string DriverName(int index) override;
  std::string DriverVersion(int index) override;
  int DriverIndex() const override { return driver_index_; }
  void SetDriverIndex(int index) override;

  bool HasSourceDialog() const override;
  bool HasFormatDialog() const override;
  void ShowSourceDialog() override;
  void ShowFormatDialog() override;
  void ShowCompressionDialog() override;
  void ShowAudioFormatDialog() override;

  bool HasAudio() const override;
  bool CaptureAudio() const override { return capture_audio_; }
  void SetCaptureAudio(bool on) override { capture_audio_ = on; }

  std::int32_t FrameRate() const override { return frame_rate_; }
  void SetFrameRate(std::int32_t fps) override;

  std::string CaptureFile() const override { return capture_file_; }
  void SetCaptureFile(const std::string& path) override { capture_file_ = path; }
  void StartCapture() override;
  void StopCapture() override;
  bool IsCapturing() const override { return capturing_; }

  bool HasOverlay() const override { return false; }
  void SetOverlay(bool on) override { overlay_ = on; }
  void SetPreview(bool on) override;

  void SaveFrameDib(const std::string& path) override;
  void SetOption(int number, int value) override;

  // The settings behind the driver dialogs, for the dialogs and for tests.
  std::vector<DriverControl> SourceControls() const;
  void SetSourceControl(std::uint32_t id, std::int32_t value);
  std::vector<FormatOption> Formats() const;
  FormatChoice Format() const { return format_; }
  void SetFormat(const FormatChoice& format);
  int JpegQuality() const { return jpeg_quality_; }
  void SetJpegQuality(int quality);
  AudioFormat GetAudioFormat() const { return audio_format_; }
  void SetAudioFormat(const AudioFormat& format);
  std::optional<int> Option(int number) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  QSize sizeHint() const override { return {320, 240}; }

 private:
  void RefreshDrivers();
  void Connect(const DriverEntry& driver);
  void Disconnect();
  void Reconnect(const FormatChoice& previous);
  void ApplyPendingChanges();
  void FinishCapture(bool wait_for_frame);
  void AfterFinish();
  bool WaitProcessingEvents(const std::function<bool()>& done, const QDeadlineTimer& deadline);

  void OnSampleReady();
  void OnBusMessage(std::uint64_t session, GstMessage* message, const std::string& branch);
  void OnSourceEnded(std::uint64_t session);
  void OnSourceFailed(const std::string& text);
  void OnCaptureFailed(const std::string& text);

  std::unique_ptr<EventDispatcher> events_;
  std::unique_ptr<AudioInput> audio_;
  std::vector<DriverEntry> drivers_;
  std::unique_ptr<DriverEntry> connected_;
  std::shared_ptr<SceneRenderer> scene_;
  std::unique_ptr<PreviewPipeline> session_;
  std::unique_ptr<RecordingBranch> recording_;
  struct LastFrame;
  std::unique_ptr<LastFrame> last_frame_;  // the newest frame, for painting and stills
  std::atomic<bool> sample_pending_{false};

  std::uint64_t session_id_ = 0;
  std::uint64_t capture_count_ = 0;
  int driver_index_ = -1;
  std::int32_t frame_rate_ = 15;
  std::string capture_file_;
  bool capture_audio_ = false;
  bool capturing_ = false;
  bool finishing_ = false;
  bool abort_finish_ = false;
  bool overlay_ = false;
  bool preview_ = true;
  bool rate_pending_ = false;
  bool format_pending_ = false;
  std::optional<std::string> deferred_failure_;
  FormatChoice format_;
  FormatChoice pending_format_;
  int jpeg_quality_ = 85;
  AudioFormat audio_format_;
  int media_brightness_ = 0;
  int media_contrast_ = 100;
  std::array<std::optional<int>, 9> options_;
};

}  // namespace platform::capture
