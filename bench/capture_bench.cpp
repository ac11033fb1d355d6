// Capture figures with the virtual camera:
//   FrameDelivery  frames delivered per second and process CPU time per
//                  frame, scene at 640x480 and 1280x720, 25 fps, empty handler;
//   Capture60s     a 60 s capture at 25 fps while the handler compresses each
//                  frame with zlib at level 9 as the program does; the AVI must
//                  hold at least 1,490 frames and last 60 s within 1 %.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <zlib.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/capture_widget.h"
#include "platform/capture/environment.h"

namespace {

using platform::capture::CaptureEvents;
using platform::capture::CaptureWidget;
using platform::capture::FrameHeader;

class CountingSink : public CaptureEvents {
 public:
  void FrameCallback(const FrameHeader& header) override { Handle(header); }
  void StreamCallback(const FrameHeader& header) override {
    ++stream_frames;
    Handle(header);
  }
  void StatusCallback(int, const std::string&) override {}

  bool compress = false;
  std::int64_t frames = 0;
  std::int64_t stream_frames = 0;

 private:
  void Handle(const FrameHeader& header) {
    ++frames;
    if (!compress) return;
    // What the program does with every measured frame.
    QCoreApplication::processEvents();
    source_.assign(header.lpData, header.lpData + header.dwBytesUsed);
    uLongf size = static_cast<uLongf>(header.dwBytesUsed * 1.1 + 12);
    target_.resize(size);
    compress2(target_.data(), &size, source_.data(), source_.size(), 9);
  }
  std::vector<std::uint8_t> source_;
  std::vector<std::uint8_t> target_;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunFor(std::chrono::milliseconds duration) {
  const QDeadlineTimer deadline(duration.count());
  QTimer wake;
  wake.start(5);
  while (!deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::unique_ptr<CaptureWidget> OpenScene(const std::string& size, CountingSink& sink) {
  ::setenv(platform::capture::kVirtualCameraVariable, "scene", 1);
  ::setenv(platform::capture::kVirtualCameraSizeVariable, size.c_str(), 1);
  auto widget = std::make_unique<CaptureWidget>();
  widget->SetEventSink(&sink);
  widget->SetFrameRate(25);
  for (int index = 0; index < CaptureWidget::kMaxDrivers; ++index) {
    if (widget->DriverName(index).starts_with("Virtual camera")) {
      widget->SetDriverIndex(index);
      return widget;
    }
  }
  return nullptr;
}

// What an AVI file's own headers and index say.
struct AviFacts {
  std::uint32_t micro_sec_per_frame = 0;
  std::uint32_t total_frames = 0;
  std::uint32_t video_rate = 0, video_scale = 0, video_length = 0;
  std::uint32_t index_video_frames = 0;
  bool has_index = false;
};

std::uint32_t Le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WalkAvi(const std::uint8_t* p, std::size_t size, AviFacts& facts) {
  std::size_t at = 0;
  while (at + 8 <= size) {
    const std::string id(reinterpret_cast<const char*>(p + at), 4);
    const std::uint32_t length = Le32(p + at + 4);
    const std::uint8_t* body = p + at + 8;
    if (at + 8 + length > size) break;
    if (id == "RIFF" || id == "LIST") {
      const std::string type(reinterpret_cast<const char*>(body), 4);
      if (type != "movi") WalkAvi(body + 4, length - 4, facts);
    } else if (id == "avih" && length >= 24) {
      facts.micro_sec_per_frame = Le32(body);
      facts.total_frames = Le32(body + 16);
    } else if (id == "strh" && length >= 36 && std::memcmp(body, "vids", 4) == 0) {
      facts.video_scale = Le32(body + 20);
      facts.video_rate = Le32(body + 24);
      facts.video_length = Le32(body + 32);
    } else if (id == "idx1") {
      facts.has_index = true;
      for (std::uint32_t entry = 0; entry + 16 <= length; entry += 16) {
        // Video chunks are "00dc" or "00db"; sound is "01wb".
        if (std::memcmp(body + entry, "00d", 3) == 0) ++facts.index_video_frames;
      }
    }
    at += 8 + length + (length & 1);
  }
}

AviFacts ReadAvi(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  AviFacts facts;
  WalkAvi(data.data(), data.size(), facts);
  return facts;
}

void FrameDelivery(benchmark::State& state) {
  const std::string size = std::to_string(state.range(0)) + "x" + std::to_string(state.range(1));
  CountingSink sink;
  auto widget = OpenScene(size, sink);
  if (!widget) {
    state.SkipWithError("no virtual camera");
    return;
  }
  RunFor(std::chrono::milliseconds(1000));  // warm up
  for (auto _ : state) {
    const std::int64_t frames = sink.frames;
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    RunFor(std::chrono::milliseconds(10000));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double delivered = static_cast<double>(sink.frames - frames);
    state.counters["frames_per_s"] = delivered / wall;
    state.counters["cpu_ms_per_frame"] = (CpuSeconds() - cpu) * 1000.0 / delivered;
    state.counters["cpu_percent"] = (CpuSeconds() - cpu) * 100.0 / wall;
  }
}
BENCHMARK(FrameDelivery)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void Capture60s(benchmark::State& state) {
  CountingSink sink;
  auto widget = OpenScene("640x480", sink);
  if (!widget) {
    state.SkipWithError("no virtual camera");
    return;
  }
  sink.compress = true;
  QTemporaryDir dir;
  const std::string path = QDir(dir.path()).filePath("capture.avi").toStdString();
  RunFor(std::chrono::milliseconds(1000));
  for (auto _ : state) {
    widget->SetCaptureFile(path);
    const auto start = std::chrono::steady_clock::now();
    widget->StartCapture();
    RunFor(std::chrono::milliseconds(60000));
    widget->StopCapture();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const AviFacts avi = ReadAvi(path);
    const double header_seconds = avi.total_frames * (avi.micro_sec_per_frame / 1e6);
    const double stream_seconds =
        avi.video_rate ? static_cast<double>(avi.video_length) * avi.video_scale / avi.video_rate
                       : 0;
    state.counters["frames"] = avi.total_frames;
    state.counters["index_frames"] = avi.index_video_frames;
    state.counters["duration_s"] = stream_seconds;
    state.counters["avih_duration_s"] = header_seconds;
    state.counters["wall_s"] = wall;
    state.counters["stream_events"] = static_cast<double>(sink.stream_frames);
    if (avi.total_frames < 1490 || !avi.has_index || avi.index_video_frames != avi.total_frames ||
        std::abs(stream_seconds - 60.0) > 0.6 || std::abs(header_seconds - 60.0) > 0.6) {
      const std::string message =
          "capture incomplete or uneven: " + std::to_string(avi.total_frames) + " frames, " +
          std::to_string(avi.index_video_frames) + " indexed, " + std::to_string(stream_seconds) +
          " s";
      state.SkipWithError(message.c_str());
    }
  }
}
BENCHMARK(Capture60s)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
