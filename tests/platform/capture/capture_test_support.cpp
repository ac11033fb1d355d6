#include "capture_test_support.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace capture_test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
}

ScopedEnv::~ScopedEnv() {
  if (old_) {
    ::setenv(name_.c_str(), old_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

void EventRecorder::Enter() {
  ++depth;
  max_depth = std::max(max_depth, depth);
}

void EventRecorder::FrameCallback(const FrameHeader& header) {
  Enter();
  frames.push_back({false, header.dwBytesUsed, header.dwTimeCaptured, header.width, header.height});
  if (on_frame) on_frame(header, false);
  --depth;
}

void EventRecorder::StreamCallback(const FrameHeader& header) {
  Enter();
  frames.push_back({true, header.dwBytesUsed, header.dwTimeCaptured, header.width, header.height});
  if (on_frame) on_frame(header, true);
  --depth;
}

void EventRecorder::StatusCallback(int code, const std::string& text) {
  Enter();
  statuses.emplace_back(code, text);
  --depth;
}

int EventRecorder::Count(bool stream) const {
  return static_cast<int>(std::count_if(
      frames.begin(), frames.end(), [stream](const FrameRecord& f) { return f.stream == stream; }));
}

bool EventRecorder::HasStatus(int code) const {
  return std::any_of(statuses.begin(), statuses.end(),
                     [code](const auto& status) { return status.first == code; });
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const QDeadlineTimer deadline(timeout.count());
  QTimer wake;  // keeps the blocking wait below short
  wake.start(5);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void RunFor(std::chrono::milliseconds duration) {
  RunUntil([] { return false; }, duration);
}

MediaInfo Discover(const std::string& path) {
  MediaInfo info;
  QProcess process;
  process.start("gst-discoverer-1.0", {"-v", QString::fromStdString(path)});
  if (!process.waitForFinished(20000)) return info;
  const QString report = QString::fromUtf8(process.readAllStandardOutput());
  info.report = report.toStdString();
  auto capture = [&](const char* pattern) -> QString {
    const auto match =
        QRegularExpression(pattern, QRegularExpression::MultilineOption).match(report);
    return match.hasMatch() ? match.captured(1) : QString();
  };
  const auto duration = QRegularExpression(R"(Duration: (\d+):(\d+):([\d.]+))").match(report);
  if (duration.hasMatch()) {
    info.duration_s = duration.captured(1).toDouble() * 3600 +
                      duration.captured(2).toDouble() * 60 + duration.captured(3).toDouble();
  }
  info.width = capture(R"(^\s*Width: (\d+))").toInt();
  info.height = capture(R"(^\s*Height: (\d+))").toInt();
  info.frame_rate = capture(R"(^\s*Frame rate: (\S+))").toStdString();
  info.has_audio = report.contains(
      QRegularExpression(R"(^\s*audio #\d+:)", QRegularExpression::MultilineOption));
  info.sample_rate = capture(R"(^\s*Sample rate: (\d+))").toInt();
  info.channels = capture(R"(^\s*Channels: (\d+))").toInt();
  info.readable = process.exitCode() == 0 && !report.contains("error was encountered") &&
                  info.width > 0 && info.duration_s > 0;
  return info;
}

bool MakeClip(const std::string& path, int frames, int width, int height, int fps) {
  QProcess process;
  const QString caps =
      QString("video/x-raw,width=%1,height=%2,framerate=%3/1").arg(width).arg(height).arg(fps);
  process.start("gst-launch-1.0",
                {"-q", "videotestsrc", QString("num-buffers=%1").arg(frames), "pattern=ball", "!",
                 caps, "!", "jpegenc", "!", "avimux", "!", "filesink",
                 QString("location=%1").arg(QString::fromStdString(path))});
  return process.waitForFinished(30000) && process.exitCode() == 0;
}

int VirtualIndex(platform::capture::CaptureControl& control) {
  for (int index = 0; index < platform::capture::CaptureControl::kMaxDrivers; ++index) {
    if (control.DriverName(index).starts_with("Virtual camera")) return index;
  }
  return -1;
}

}  // namespace capture_test
