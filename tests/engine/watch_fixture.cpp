#include "tests/engine/watch_fixture.h"

#include <zlib.h>

#include <fstream>
#include <random>

namespace orvantix::testing {

namespace {
constexpr std::size_t kFrameBytes = 32768;
constexpr int kSeeds = 8;
}  // namespace

FrameMaker::FrameMaker() {
  for (int seed = 0; seed < kSeeds; ++seed) {
    std::mt19937 random(static_cast<std::uint32_t>(seed + 1));
    std::vector<std::uint8_t> noise(kFrameBytes);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    noise_.push_back(std::move(noise));
  }
}

int FrameMaker::CompressedSize(const std::vector<std::uint8_t>& frame) {
  std::vector<std::uint8_t> out(compressBound(frame.size()));
  uLongf length = out.size();
  if (compress2(out.data(), &length, frame.data(), frame.size(), 9) != Z_OK) return 0;
  return static_cast<int>(length);
}

std::vector<std::uint8_t>& FrameMaker::OfSize(int compressedSize) {
  auto found = made_.find(compressedSize);
  if (found != made_.end()) return found->second;
  for (const auto& noise : noise_) {
    auto frameWith = [&noise](std::size_t k) {
      std::vector<std::uint8_t> frame(kFrameBytes, 0);
      std::copy(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(k), frame.begin());
      return frame;
    };
    // The size grows with k almost one for one: find the first k that
    // reaches the size, then look around it.
    std::size_t low = 0, high = kFrameBytes;
    while (low < high) {
      const std::size_t mid = (low + high) / 2;
      if (CompressedSize(frameWith(mid)) < compressedSize)
        low = mid + 1;
      else
        high = mid;
    }
    const std::size_t from = low > 40 ? low - 40 : 0;
    for (std::size_t k = from; k < std::min(kFrameBytes, low + 40); ++k) {
      auto frame = frameWith(k);
      if (CompressedSize(frame) == compressedSize)
        return made_.emplace(compressedSize, std::move(frame)).first->second;
    }
  }
  ADD_FAILURE() << "no frame compresses to " << compressedSize << " bytes";
  return made_[compressedSize];
}

void WatchTest::SetUp() {
  std::ofstream(h.folder.Path() / "kelvradft.html", std::ios::binary)
      << "<HTML>\r\n<TABLE>\r\n<!--DATA-->\r\n</TABLE>\r\n</HTML>\r\n";
  h.Start(commandLine_);
  E().Form_Load();
}

void WatchTest::SwitchOn() {
  E().StartStop();
  ASSERT_TRUE(S().Armed);
  Frame(kBase);
  ASSERT_EQ(S().BaseSize, kBase);
}

void WatchTest::Restart() {
  if (S().Armed) E().StartStop();
  SwitchOn();
}

void WatchTest::Frame(int compressedSize) { h.kelvra.DeliverFrame(frames.OfSize(compressedSize)); }

void WatchTest::Tick1() {
  if (h.form.timer1.enabled) E().Timer1_Timer();
}

void WatchTest::Tick2() {
  if (h.form.timer2.enabled) E().Timer2_Timer();
}

void WatchTest::Run(std::chrono::milliseconds duration, int compressedSize) {
  for (std::int64_t t = 0; t < duration.count(); t += 50) {
    h.clock.Advance(std::chrono::milliseconds(50));
    elapsedMs_ += 50;
    Tick2();
    if (elapsedMs_ % 200 == 0) Frame(compressedSize);
    if (elapsedMs_ % 250 == 0) Tick1();
  }
}

void WatchTest::StartRecording() {
  Frame(kMotion);
  ASSERT_EQ(Panel(2), "RECORDING");
  Tick2();
  ASSERT_TRUE(h.kelvra.capturing);
}

std::vector<std::string> WatchTest::LogRows() const {
  const std::string log = h.ReadFile(h.folder.Path() / "kelvralog.html");
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (start < log.size()) {
    std::size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    const std::string line = log.substr(start, end - start);
    if (line.rfind("<TR>", 0) == 0) rows.push_back(line);
    start = end + 2;
  }
  return rows;
}

}  // namespace orvantix::testing
