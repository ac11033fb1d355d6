// The measure's cost per frame: Frame_Handler against a bare zlib level-9
// compression of the same camera-like frame, and its memory over 10,000
// frames.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/engine.h"

namespace {

using orvantix::MenuItem;
using orvantix::MsgBoxResult;
using orvantix::MsgBoxStyle;
using orvantix::Rect;
using orvantix::TimerControl;
namespace capture = platform::capture;

class BenchMenuItem final : public MenuItem {
 public:
  void SetEnabled(bool on) override { enabled_ = on; }
  bool Enabled() const override { return enabled_; }
  void SetVisible(bool on) override { visible_ = on; }
  bool Visible() const override { return visible_; }
  void SetChecked(bool on) override { checked_ = on; }
  bool Checked() const override { return checked_; }
  void SetCaption(const std::string& c) override { caption_ = c; }
  std::string Caption() const override { return caption_; }

 private:
  bool enabled_ = true, visible_ = true, checked_ = false;
  std::string caption_;
};

class BenchTimer final : public TimerControl {
 public:
  void SetInterval(int ms) override { interval_ = ms; }
  int Interval() const override { return interval_; }
  void SetEnabled(bool on) override { enabled_ = on; }
  bool Enabled() const override { return enabled_; }

 private:
  int interval_ = 0;
  bool enabled_ = false;
};

// Only what the measure touches does anything.
class BenchForm final : public orvantix::FormView {
 public:
  void SetCaption(const std::string&) override {}
  std::string Caption() const override { return {}; }
  void SetPanelText(int panel, const std::string& text) override { panels_[panel] = text; }
  std::string PanelText(int panel) const override {
    auto it = panels_.find(panel);
    return it == panels_.end() ? std::string() : it->second;
  }
  MenuItem& Menu(const std::string& name) override { return items_[name]; }
  MenuItem& MenuArray(const std::string& name, int index) override {
    return items_[name + "(" + std::to_string(index) + ")"];
  }
  void LoadMenuArrayEntry(const std::string&, int) override {}
  bool HasMenuArrayEntry(const std::string&, int) const override { return true; }
  int MenuArrayLBound(const std::string&) const override { return 1; }
  int MenuArrayUBound(const std::string&) const override { return 1; }
  TimerControl& Timer1() override { return timer1_; }
  TimerControl& Timer2() override { return timer2_; }
  MsgBoxResult MessageBox(const std::string&, MsgBoxStyle) override { return MsgBoxResult::kNo; }
  Rect WindowRect() const override { return {}; }
  void SetWindowRect(const Rect&) override {}
  bool IsMinimized() const override { return false; }
  Rect PicFrameRect() const override { return {}; }
  void SetPicFrameSize(int, int) override {}
  Rect KelvraRect() const override { return {}; }
  void SetKelvraSize(int, int) override {}
  void LoadStatistics() override {}
  void ShowStatistics() override {}
  void HideStatistics() override {}
  void UnloadStatistics() override {}
  bool StatisticsVisible() const override { return false; }
  void ShowConfigurationModal() override {}
  void ShowAboutModal() override {}
  void ShowTimerFormModal() override {}

 private:
  std::map<int, std::string> panels_;
  std::map<std::string, BenchMenuItem> items_;
  BenchTimer timer1_, timer2_;
};

class BenchCapture final : public capture::CaptureControl {
 public:
  void SetEventSink(capture::CaptureEvents*) override {}
  std::string DriverName(int) override { return {}; }
  std::string DriverVersion(int) override { return {}; }
  int DriverIndex() const override { return 0; }
  void SetDriverIndex(int) override {}
  bool HasSourceDialog() const override { return false; }
  bool HasFormatDialog() const override { return false; }
  void ShowSourceDialog() override {}
  void ShowFormatDialog() override {}
  void ShowCompressionDialog() override {}
  void ShowAudioFormatDialog() override {}
  bool HasAudio() const override { return false; }
  bool CaptureAudio() const override { return false; }
  void SetCaptureAudio(bool) override {}
  std::int32_t FrameRate() const override { return 5; }
  void SetFrameRate(std::int32_t) override {}
  std::string CaptureFile() const override { return file_; }
  void SetCaptureFile(const std::string& path) override { file_ = path; }
  void StartCapture() override {}
  void StopCapture() override {}
  bool IsCapturing() const override { return false; }
  bool HasOverlay() const override { return false; }
  void SetOverlay(bool) override {}
  void SetPreview(bool) override {}
  void SaveFrameDib(const std::string&) override {}
  void SetOption(int, int) override {}

 private:
  std::string file_;
};

class BenchStore final : public platform::settings::SettingsStore {
 public:
  std::string GetSetting(const std::string&, const std::string&, const std::string&,
                         const std::string& fallback) override {
    return fallback;
  }
  void SaveSetting(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {}
};

class BenchSystem final : public platform::system::SystemServices {
 public:
  double FreeSpaceMB(const std::string&) override { return 1e6; }
  std::string SystemFolder() override { return {}; }
  bool ShellOpen(const std::string&) override { return true; }
};

// An engine with the watch on, measuring frames that arrive one by one.
class Watch {
 public:
  Watch()
      : engine_(form_, kelvra_, store_, clock_, system_, orvantix::Switches{},
                orvantix::EngineOptions{}) {
    engine_.State().Threshold = 4.0f;
    engine_.State().TimeType = 1;
    engine_.StartStop();
  }
  orvantix::Engine& Engine() { return engine_; }

 private:
  BenchForm form_;
  BenchCapture kelvra_;
  BenchStore store_;
  orvantix::SystemClock clock_;
  BenchSystem system_;
  orvantix::Engine engine_;
};

// xorshift: fast, and the same frames on every run.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

 private:
  std::uint32_t state_;
};

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// A room as a camera sees it: lit wall, tiled floor, a shelf of books, a
// window, a plant-like blob and a poster with fine print, then sensor noise
// of a few levels on every channel (raw 24-bit BGR, top-down).
std::vector<std::uint8_t> CameraFrame(int width, int height, std::uint32_t noiseSeed) {
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3);
  Random detail(12345);
  std::vector<std::uint8_t> print(static_cast<std::size_t>(width / 8 + 1) * (height / 8 + 1));
  for (auto& p : print) p = static_cast<std::uint8_t>(detail.Next() & 1);
  Random noise(noiseSeed);
  const double horizon = height * 0.62;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / width;
      const double v = static_cast<double>(y) / height;
      double b, g, r;
      if (y < horizon) {
        const double light =
            150 + 70 * std::exp(-((u - 0.3) * (u - 0.3) + (v - 0.2) * (v - 0.2)) * 6);
        b = light * 0.85;
        g = light * 0.92;
        r = light;
        r += 6 * std::sin(x * 0.9) * std::sin(y * 0.7);  // wall texture
      } else {
        const double depth = (y - horizon) / (height - horizon) + 0.05;
        const int tx = static_cast<int>(std::floor((u - 0.5) / depth * 8));
        const int ty = static_cast<int>(std::floor(1.0 / depth));
        const bool dark = ((tx + ty) & 1) != 0;
        const double tile = dark ? 90 : 170;
        b = tile * 0.7;
        g = tile * 0.8;
        r = tile * 0.9;
      }
      if (u > 0.05 && u < 0.3 && v > 0.15 && v < 0.6) {  // shelf of books
        const int book = static_cast<int>(u * 180);
        const std::uint32_t hue = (static_cast<std::uint32_t>(book) * 2654435761u) >> 24;
        b = 40 + (hue * 7 % 160);
        g = 40 + (hue * 13 % 160);
        r = 40 + (hue * 29 % 160);
        if (static_cast<int>(v * 90) % 15 == 0) b = g = r = 60;
      }
      if (u > 0.6 && u < 0.9 && v > 0.08 && v < 0.4) {  // window with a view
        b = 235 - 40 * v;
        g = 225;
        r = 200 + 20 * std::sin(u * 40);
        if (std::fabs(u - 0.75) < 0.004 || std::fabs(v - 0.24) < 0.005) b = g = r = 80;
      }
      const double dx = u - 0.5, dy = v - 0.7;
      if (dx * dx * 4 + dy * dy * 9 < 0.02 + 0.01 * std::sin(std::atan2(dy, dx) * 9)) {  // plant
        b = 30;
        g = 90 + 40 * std::sin(x * 0.5 + y * 0.3);
        r = 40;
      }
      if (u > 0.35 && u < 0.55 && v > 0.1 && v < 0.35) {  // poster with fine print
        const bool ink = print[static_cast<std::size_t>(y / 3 % (height / 8)) * (width / 8 + 1) +
                               static_cast<std::size_t>(x / 2 % (width / 8))] != 0;
        b = g = r = ink ? 50 : 230;
      }
      const auto jitter = [&noise] {
        const std::uint32_t n = noise.Next();
        return static_cast<double>(static_cast<int>(n & 3) + static_cast<int>((n >> 2) & 3) - 3) *
               0.75;
      };
      std::uint8_t* p = &frame[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = Clamp(b + jitter());
      p[1] = Clamp(g + jitter());
      p[2] = Clamp(r + jitter());
    }
  }
  return frame;
}

constexpr int kFramesInRotation = 4;

struct Frames {
  std::vector<std::vector<std::uint8_t>> data;
  Frames(int width, int height) {
    for (int i = 0; i < kFramesInRotation; ++i)
      data.push_back(CameraFrame(width, height, static_cast<std::uint32_t>(i + 1)));
  }
  capture::FrameHeader Header(std::size_t i) {
    auto& bytes = data[i % data.size()];
    capture::FrameHeader header;
    header.lpData = bytes.data();
    header.dwBufferLength = header.dwBytesUsed = static_cast<std::uint32_t>(bytes.size());
    return header;
  }
};

long CurrentRssKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long MaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

uLongf BareCompress(const std::vector<std::uint8_t>& frame, std::vector<std::uint8_t>& out) {
  uLongf length = out.size();
  compress2(out.data(), &length, frame.data(), frame.size(), 9);
  return length;
}

void BM_BareCompress(benchmark::State& state) {
  Frames frames(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::size_t n = frames.data[0].size();
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::floor(n * 1.1)) + 12);
  std::size_t i = 0;
  uLongf size = 0;
  for (auto _ : state) {
    size = BareCompress(frames.data[i++ % frames.data.size()], out);
    benchmark::DoNotOptimize(size);
  }
  state.counters["compressed_bytes"] = static_cast<double>(size);
  state.counters["ratio"] = static_cast<double>(n) / static_cast<double>(size);
}

void BM_FrameHandler(benchmark::State& state) {
  Frames frames(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  Watch watch;
  std::size_t i = 0;
  for (auto _ : state) watch.Engine().Frame_Handler(frames.Header(i++));
  state.counters["deviation_pct"] = watch.Engine().State().LastDeviation;
  if (watch.Engine().State().FrameCount != static_cast<std::int32_t>(i))
    state.SkipWithError("frames were not measured");
}

// Both on the same frame, one after the other, so the machine's load hits
// them alike; the reported time is Frame_Handler's.
void BM_FrameHandlerOverhead(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  Frames frames(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const std::size_t n = frames.data[0].size();
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::floor(n * 1.1)) + 12);
  Watch watch;
  std::size_t i = 0;
  double bare = 0, handler = 0;
  for (auto _ : state) {
    const auto header = frames.Header(i);
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(BareCompress(frames.data[i % frames.data.size()], out));
    const auto t1 = Clock::now();
    watch.Engine().Frame_Handler(header);
    const auto t2 = Clock::now();
    ++i;
    bare += std::chrono::duration<double>(t1 - t0).count();
    handler += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t2 - t1).count());
  }
  state.counters["bare_ms"] = bare / static_cast<double>(i) * 1e3;
  state.counters["handler_ms"] = handler / static_cast<double>(i) * 1e3;
  state.counters["overhead_pct"] = (handler - bare) / bare * 100.0;
}

// 10,000 frames, mostly 320x240 to keep the run short, with a 1280x720
// one now and then, so the buffers also see the frame size change.
void BM_MemoryOver10000Frames(benchmark::State& state) {
  Frames small(320, 240);
  Frames large(1280, 720);
  Watch watch;
  long rssBefore = 0, rssAfter = 0, maxBefore = 0, maxAfter = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < 100; ++i)  // warm up: buffers at their largest
      watch.Engine().Frame_Handler(i % 50 == 0 ? large.Header(i) : small.Header(i));
    rssBefore = CurrentRssKb();
    maxBefore = MaxRssKb();
    for (std::size_t i = 0; i < 10000; ++i)
      watch.Engine().Frame_Handler(i % 50 == 0 ? large.Header(i) : small.Header(i));
    rssAfter = CurrentRssKb();
    maxAfter = MaxRssKb();
  }
  state.counters["rss_before_kb"] = static_cast<double>(rssBefore);
  state.counters["rss_after_kb"] = static_cast<double>(rssAfter);
  state.counters["maxrss_before_kb"] = static_cast<double>(maxBefore);
  state.counters["maxrss_after_kb"] = static_cast<double>(maxAfter);
  state.counters["frames"] = static_cast<double>(watch.Engine().State().FrameCount);
}

BENCHMARK(BM_BareCompress)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameHandler)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameHandlerOverhead)
    ->Args({640, 480})
    ->Args({1280, 720})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryOver10000Frames)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
