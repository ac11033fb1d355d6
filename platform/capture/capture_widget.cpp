#include "platform/capture/capture_widget.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>
#include <QPainter>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/capture/audio_format_dialog.h"
#include "platform/capture/audio_input.h"
#include "platform/capture/bmp_writer.h"
#include "platform/capture/compression_dialog.h"
#include "platform/capture/driver_list.h"
#include "platform/capture/event_dispatcher.h"
#include "platform/capture/format_dialog.h"
#include "platform/capture/frame_view.h"
#include "platform/capture/gst_util.h"
#include "platform/capture/preview_pipeline.h"
#include "platform/capture/recording_branch.h"
#include "platform/capture/scene_renderer.h"
#include "platform/capture/source_dialog.h"
#include "platform/capture/source_factory.h"
#include "platform/capture/v4l2_device.h"

namespace platform::capture {
namespace {

constexpr std::chrono::milliseconds kStartTimeout{5000};
constexpr qint64 kFirstFrameTimeoutMs = 2000;  // longer than a frame at the lowest rate
constexpr qint64 kFinishTimeoutMs = 5000;
constexpr std::int32_t kMinFrameRate = 1;
constexpr std::int32_t kMaxFrameRate = 120;
constexpr std::uint32_t kMediaBrightnessId = 1;
constexpr std::uint32_t kMediaContrastId = 2;

bool IsScene(const DriverEntry& driver) {
  return driver.kind == DriverEntry::Kind::kVirtual &&
         driver.virtual_camera.kind == VirtualCamera::Kind::kScene;
}

bool IsMedia(const DriverEntry& driver) {
  return driver.kind == DriverEntry::Kind::kVirtual && !IsScene(driver);
}

}  // namespace

struct CaptureWidget::LastFrame {
  SamplePtr sample;
};

CaptureWidget::CaptureWidget(QWidget* parent)
    : QWidget(parent),
      events_(std::make_unique<EventDispatcher>(this)),
      last_frame_(std::make_unique<LastFrame>()) {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  audio_ = std::make_unique<AudioInput>();
  RefreshDrivers();
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(160, 120);
}

CaptureWidget::~CaptureWidget() {
  if (recording_) {
    // No event loop here: the branch finishes on GStreamer's threads alone.
    capturing_ = false;
    recording_->RequestFinish();
    const QDeadlineTimer deadline(kFinishTimeoutMs);
    while (!recording_->Finished() && !deadline.hasExpired()) {
      recording_->WaitForChange(std::chrono::milliseconds(50));
    }
    recording_.reset();
  }
  last_frame_->sample.reset();
  session_.reset();
}

void CaptureWidget::SetEventSink(CaptureEvents* sink) { events_->SetSink(sink); }

void CaptureWidget::RefreshDrivers() {
  drivers_ = EnumerateDrivers(VirtualCameraFromEnvironment());
}

std::string CaptureWidget::DriverName(int index) {
  // Start-up asks for index 0 first: look at the devices afresh then, but
  // never under a running preview, whose index must keep its meaning.
  if (index == 0 && !session_) RefreshDrivers();
  if (index < 0 || index >= static_cast<int>(drivers_.size())) return {};
  return drivers_[index].name;
}

std::string CaptureWidget::DriverVersion(int index) {
  if (index < 0 || index >= static_cast<int>(drivers_.size())) return {};
  return drivers_[index].version;
}

void CaptureWidget::SetDriverIndex(int index) {
  if (finishing_) {
    throw CaptureError(kErrDriverConnect, "The device is busy finishing a capture");
  }
  if (index < 0 || index >= kMaxDrivers || index >= static_cast<int>(drivers_.size())) {
    throw CaptureError(kErrNoDriver, "There is no capture driver " + std::to_string(index));
  }
  if (capturing_) StopCapture();
  const DriverEntry driver = drivers_[index];
  const bool same = connected_ && driver_index_ == index;
  Disconnect();
  driver_index_ = -1;
  if (!same) {
    format_ = {};
    media_brightness_ = 0;
    media_contrast_ = 100;
    scene_ = IsScene(driver) ? std::make_shared<SceneRenderer>(driver.virtual_camera.calm_seconds,
                                                               driver.virtual_camera.motion_seconds)
                             : nullptr;
  }
  try {
    Connect(driver);
  } catch (const std::exception& error) {
    events_->PostStatus(kStatusDeviceError, std::string("Device not available: ") + error.what());
    throw CaptureError(kErrDriverConnect, driver.name + ": " + error.what());
  }
  driver_index_ = index;
}

void CaptureWidget::Connect(const DriverEntry& driver) {
  format_ = ResolveFormat(driver, format_);
  const std::uint64_t id = ++session_id_;
  PipelineCallbacks callbacks;
  callbacks.sample_ready = [this] {
    if (!sample_pending_.exchange(true)) {
      QMetaObject::invokeMethod(
          this, [this] { OnSampleReady(); }, Qt::QueuedConnection);
    }
  };
  callbacks.message = [this, id](MessagePtr message, std::string branch) {
    std::shared_ptr<GstMessage> shared(message.release(),
                                       [](GstMessage* m) { gst_message_unref(m); });
    QMetaObject::invokeMethod(
        this, [this, id, shared, branch] { OnBusMessage(id, shared.get(), branch); },
        Qt::QueuedConnection);
  };
  callbacks.source_ended = [this, id] {
    QMetaObject::invokeMethod(
        this, [this, id] { OnSourceEnded(id); }, Qt::QueuedConnection);
  };
  auto session =
      std::make_unique<PreviewPipeline>(driver, format_, frame_rate_, scene_, std::move(callbacks));
  if (IsMedia(driver)) session->SetBalance(media_brightness_, media_contrast_);
  session->Start(kStartTimeout);
  session_ = std::move(session);
  connected_ = std::make_unique<DriverEntry>(driver);
  rate_pending_ = false;
  events_->PostStatus(kStatusConnected, "Connected to " + driver.name);
}

void CaptureWidget::Disconnect() {
  recording_.reset();
  capturing_ = false;
  last_frame_->sample.reset();
  connected_.reset();
  if (session_) {
    session_.reset();
    events_->PostStatus(kStatusPreviewStopped, "Preview stopped");
  }
  update();
}

void CaptureWidget::Reconnect(const FormatChoice& previous) {
  const DriverEntry driver = *connected_;
  const int index = driver_index_;
  Disconnect();
  try {
    Connect(driver);
    return;
  } catch (const std::exception& error) {
    events_->PostStatus(kStatusDeviceError, std::string("Format not available: ") + error.what());
  }
  format_ = previous;
  try {
    Connect(driver);
    driver_index_ = index;
  } catch (const std::exception& error) {
    events_->PostStatus(kStatusDeviceError, std::string("Device not available: ") + error.what());
    driver_index_ = -1;
  }
}

bool CaptureWidget::HasSourceDialog() const { return session_ != nullptr; }
bool CaptureWidget::HasFormatDialog() const { return session_ != nullptr; }
bool CaptureWidget::HasAudio() const { return audio_->Available(); }

std::vector<DriverControl> CaptureWidget::SourceControls() const {
  if (!connected_) return {};
  if (connected_->kind == DriverEntry::Kind::kV4l2) {
    return V4l2Device(connected_->device).Controls();
  }
  if (scene_) return scene_->ControlList();
  return {DriverControl::Integer(kMediaBrightnessId, "Brightness", -100, 100, 0, media_brightness_),
          DriverControl::Integer(kMediaContrastId, "Contrast", 0, 200, 100, media_contrast_)};
}

void CaptureWidget::SetSourceControl(std::uint32_t id, std::int32_t value) {
  if (!connected_) return;
  if (connected_->kind == DriverEntry::Kind::kV4l2) {
    V4l2Device(connected_->device).SetControl(id, value);
  } else if (scene_) {
    scene_->SetControl(id, value);
  } else {
    if (id == kMediaBrightnessId) media_brightness_ = std::clamp(value, -100, 100);
    if (id == kMediaContrastId) media_contrast_ = std::clamp(value, 0, 200);
    if (session_) session_->SetBalance(media_brightness_, media_contrast_);
  }
}

std::vector<FormatOption> CaptureWidget::Formats() const {
  return connected_ ? FormatOptions(*connected_) : std::vector<FormatOption>{};
}

void CaptureWidget::SetFormat(const FormatChoice& format) {
  if (!connected_) {
    format_ = format;
    return;
  }
  // A running AVI cannot change its frame size: the choice waits for its end.
  if (capturing_ || finishing_) {
    pending_format_ = format;
    format_pending_ = true;
    return;
  }
  if (format == format_) return;
  const FormatChoice previous = format_;
  format_ = format;
  Reconnect(previous);
}

void CaptureWidget::SetJpegQuality(int quality) {
  jpeg_quality_ = std::clamp(quality, 1, 100);
  if (recording_) recording_->SetJpegQuality(jpeg_quality_);
}

void CaptureWidget::SetAudioFormat(const AudioFormat& format) {
  audio_format_.sample_rate = std::clamp(format.sample_rate, 8000, 192000);
  audio_format_.channels = std::clamp(format.channels, 1, 2);
}

void CaptureWidget::ShowSourceDialog() {
  if (!connected_) return;
  SourceDialog dialog(
      this, QString::fromStdString(connected_->name), SourceControls(),
      [this](std::uint32_t id, std::int32_t value) { SetSourceControl(id, value); });
  dialog.exec();
}

void CaptureWidget::ShowFormatDialog() {
  if (!connected_) return;
  FormatDialog dialog(this, Formats(), format_,
                      [this](const FormatChoice& choice) { SetFormat(choice); });
  dialog.exec();
}

void CaptureWidget::ShowCompressionDialog() {
  CompressionDialog dialog(this, jpeg_quality_, [this](int quality) { SetJpegQuality(quality); });
  dialog.exec();
}

void CaptureWidget::ShowAudioFormatDialog() {
  AudioFormatDialog dialog(this, audio_format_,
                           [this](const AudioFormat& format) { SetAudioFormat(format); });
  dialog.exec();
}

void CaptureWidget::SetFrameRate(std::int32_t fps) {
  frame_rate_ = std::clamp(fps, kMinFrameRate, kMaxFrameRate);
  if (!session_) return;
  // The AVI header holds one rate: a change waits for the capture's end.
  if (capturing_ || finishing_) {
    rate_pending_ = true;
    return;
  }
  session_->SetFrameRate(frame_rate_);
}

void CaptureWidget::StartCapture() {
  if (capturing_) return;
  if (finishing_) {
    throw CaptureError(kErrCapturePipeline, "The previous capture is still being finished");
  }
  if (!session_) throw CaptureError(kErrCapturePipeline, "No capture driver is connected");
  if (capture_file_.empty()) throw CaptureError(kErrCaptureFile, "No capture file is set");
  struct stat existing {};
  const bool created = ::stat(capture_file_.c_str(), &existing) != 0;
  const int fd = ::open(capture_file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    throw CaptureError(kErrCaptureFile, "Cannot create the capture file " + capture_file_ + ": " +
                                            std::strerror(errno));
  }
  ::close(fd);
  const RecordingSettings settings{capture_file_, jpeg_quality_, audio_format_};
  GstElement* audio = capture_audio_ && audio_->Available() ? audio_->CreateSource() : nullptr;
  try {
    const std::string name =
        kCaptureBranchPrefix + std::string("-") + std::to_string(++capture_count_);
    auto branch = std::make_unique<RecordingBranch>(name, session_->pipeline(), session_->tee(),
                                                    settings, audio);
    branch->Start();
    recording_ = std::move(branch);
  } catch (const std::exception& error) {
    if (created) ::unlink(capture_file_.c_str());
    throw CaptureError(kErrCapturePipeline,
                       std::string("The capture would not start: ") + error.what());
  }
  capturing_ = true;
  events_->PostStatus(kStatusCaptureStarted, "Capturing to " + capture_file_);
}

void CaptureWidget::StopCapture() {
  if (!capturing_ || !recording_) return;
  FinishCapture(true);
  AfterFinish();
}

bool CaptureWidget::WaitProcessingEvents(const std::function<bool()>& done,
                                         const QDeadlineTimer& deadline) {
  while (!done() && !abort_finish_) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (done() || abort_finish_) break;
    recording_->WaitForChange(
        std::chrono::milliseconds(std::clamp<qint64>(deadline.remainingTime(), 0, 10)));
  }
  return done();
}

// Waits for the file to be complete while pending Qt events run; frame
// events stay off meanwhile (finishing_). A file needs one frame to be
// readable, so a capture stopped at once waits for its first frame.
void CaptureWidget::FinishCapture(bool wait_for_frame) {
  finishing_ = true;
  capturing_ = false;
  abort_finish_ = false;
  const QDeadlineTimer deadline(kFinishTimeoutMs);
  if (wait_for_frame) {
    WaitProcessingEvents([this] { return recording_->HasFrames(); },
                         QDeadlineTimer(kFirstFrameTimeoutMs));
  }
  recording_->RequestFinish();
  const bool complete =
      WaitProcessingEvents([this] { return recording_->Finished(); }, deadline) && !abort_finish_;
  const std::uint64_t frames = recording_->FramesWritten();
  recording_.reset();
  finishing_ = false;
  abort_finish_ = false;
  if (complete) {
    events_->PostStatus(kStatusCaptureFinished, "Capture finished: " + capture_file_ + " (" +
                                                    std::to_string(frames) + " frames)");
  } else {
    events_->PostStatus(kStatusCaptureIncomplete, "Capture incomplete: " + capture_file_);
  }
}

void CaptureWidget::AfterFinish() {
  if (deferred_failure_) {
    const std::string text = std::move(*deferred_failure_);
    deferred_failure_.reset();
    OnSourceFailed(text);
    return;
  }
  ApplyPendingChanges();
}

void CaptureWidget::ApplyPendingChanges() {
  if (!session_) {
    rate_pending_ = format_pending_ = false;
    return;
  }
  if (format_pending_) {
    format_pending_ = rate_pending_ = false;
    SetFormat(pending_format_);  // a new pipeline takes the rate as well
    return;
  }
  if (rate_pending_) {
    rate_pending_ = false;
    session_->SetFrameRate(frame_rate_);
  }
}

void CaptureWidget::SetPreview(bool on) {
  preview_ = on;
  update();
}

void CaptureWidget::SaveFrameDib(const std::string& path) {
  if (!last_frame_->sample) throw CaptureError(kErrNoFrame, "There is no frame to save");
  const FrameView view(last_frame_->sample.get());
  if (!view.valid()) throw CaptureError(kErrNoFrame, "There is no frame to save");
  try {
    WriteBmp24(path, view.data(), view.width(), view.height(),
               static_cast<std::size_t>(view.width()) * 3);
  } catch (const std::exception& error) {
    throw CaptureError(kErrStillFile, error.what());
  }
}

void CaptureWidget::SetOption(int number, int value) {
  if (number >= 1 && number <= static_cast<int>(options_.size())) options_[number - 1] = value;
}

std::optional<int> CaptureWidget::Option(int number) const {
  if (number < 1 || number > static_cast<int>(options_.size())) return std::nullopt;
  return options_[number - 1];
}

void CaptureWidget::OnSampleReady() {
  sample_pending_ = false;
  // While a handler runs or a capture is being finished, frames are not
  // taken: the appsink keeps replacing its one frame with the newest.
  if (!session_ || finishing_ || events_->Busy()) return;
  SamplePtr sample = session_->TryPullSample();
  if (!sample) return;
  const FrameView view(sample.get());
  if (!view.valid()) return;
  last_frame_->sample = std::move(sample);
  if (preview_) update();
  FrameHeader header;
  header.lpData = view.data();
  header.dwBufferLength = static_cast<std::uint32_t>(view.size());
  header.dwBytesUsed = header.dwBufferLength;
  const GstClockTime time = view.running_time();
  header.dwTimeCaptured =
      GST_CLOCK_TIME_IS_VALID(time) ? static_cast<std::uint32_t>(time / GST_MSECOND) : 0;
  header.width = view.width();
  header.height = view.height();
  const bool stream = capturing_ && recording_ && recording_->IsWritten(time);
  events_->DeliverFrame(header, stream);
}

void CaptureWidget::OnBusMessage(std::uint64_t session, GstMessage* message,
                                 const std::string& branch) {
  if (session != session_id_ || !session_) return;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
      const std::string text = MessageText(message);
      if (branch.empty()) {
        OnSourceFailed(text);
      } else if (recording_ && recording_->name() == branch) {
        OnCaptureFailed(text);
      }  // else an earlier capture, already closed, still had errors queued
      break;
    }
    case GST_MESSAGE_SEGMENT_DONE:
      session_->RestartLoop();
      break;
    case GST_MESSAGE_STATE_CHANGED: {
      GstState old_state = GST_STATE_NULL, new_state = GST_STATE_NULL;
      gst_message_parse_state_changed(message, &old_state, &new_state, nullptr);
      if (new_state == GST_STATE_PLAYING && old_state != GST_STATE_PLAYING) {
        events_->PostStatus(kStatusPreviewStarted, "Preview started");
      }
      break;
    }
    case GST_MESSAGE_LATENCY:
      gst_bin_recalculate_latency(GST_BIN(session_->pipeline()));
      break;
    default:
      break;
  }
}

void CaptureWidget::OnSourceEnded(std::uint64_t session) {
  if (session != session_id_ || !session_) return;
  OnSourceFailed("The stream ended");
}

// The device is gone: the capture keeps what was written and is closed
// properly, the preview stops, and the driver stays selected.
void CaptureWidget::OnSourceFailed(const std::string& text) {
  if (finishing_) {
    if (!deferred_failure_) deferred_failure_ = text;
    return;
  }
  events_->PostStatus(kStatusDeviceLost, "Device lost: " + text);
  if (recording_) FinishCapture(false);
  deferred_failure_.reset();
  rate_pending_ = format_pending_ = false;
  Disconnect();
}

// The branch itself failed (disk full, say): what it wrote stays, the
// preview goes on.
void CaptureWidget::OnCaptureFailed(const std::string& text) {
  events_->PostStatus(kStatusCaptureError, "Capture error: " + text);
  if (finishing_) {
    abort_finish_ = true;
    return;
  }
  capturing_ = false;
  recording_.reset();
  ApplyPendingChanges();
}

void CaptureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (preview_ && last_frame_->sample) {
    const FrameView view(last_frame_->sample.get());
    if (view.valid()) {
      const QImage image(view.data(), view.width(), view.height(), view.width() * 3,
                         QImage::Format_BGR888);
      painter.drawImage(rect(), image);
      return;
    }
  }
  painter.fillRect(rect(), Qt::black);
}

}  // namespace platform::capture
