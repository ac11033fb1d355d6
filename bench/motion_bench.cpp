// The measure's cost per frame: Frame_Handler against a bare zlib level-9
// compression of the same frame of the virtual camera's scene, and its
// memory over 10,000 frames.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/engine/engine.h"
#include "platform/capture/scene_renderer.h"
#include "tests/fakes/engine_harness.h"

namespace {

namespace capture = platform::capture;

// The engine on the test fakes, with the watch switched on.
class Watch {
 public:
  Watch() {
    harness_.Start();
    harness_.engine->State().Threshold = 4.0f;
    harness_.engine->State().TimeType = 1;
    harness_.engine->StartStop();
  }
  orvantix::Engine& Engine() { return *harness_.engine; }

 private:
  orvantix::testing::EngineHarness harness_;
};

constexpr int kFramesInRotation = 4;

// Calm frames of the virtual camera's scene, each with its own sensor noise.
struct Frames {
  std::vector<std::vector<std::uint8_t>> data;
  Frames(int width, int height) {
    capture::SceneRenderer scene(20, 5);
    for (int i = 0; i < kFramesInRotation; ++i) {
      data.emplace_back(static_cast<std::size_t>(width) * height * 3);
      scene.Render(data.back().data(), width, height, width * 3,
                   static_cast<std::uint64_t>(i) * 40'000'000ull);
    }
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
