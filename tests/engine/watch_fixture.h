// A switched-on watch driven by the test: frames of a chosen compressed
// size, timer ticks and a clock that only the test moves.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {

// Frames whose zlib level-9 size is exactly the size asked for: zeros with
// a run of random bytes whose length is searched for.
class FrameMaker {
 public:
  FrameMaker();
  std::vector<std::uint8_t>& OfSize(int compressedSize);
  static int CompressedSize(const std::vector<std::uint8_t>& frame);

 private:
  std::vector<std::vector<std::uint8_t>> noise_;
  std::map<int, std::vector<std::uint8_t>> made_;
};

// Mail that is only recorded; the test finishes it through the engine.
class RecordingMailer : public NotificationMail {
 public:
  std::vector<std::string> startTimes;
  void SendMail(const std::string& startTime) override { startTimes.push_back(startTime); }
};

class WatchTest : public ::testing::Test {
 protected:
  // Compressed sizes against a base of kBase: 4.00 %, 3.99 %, 1.00 %.
  static constexpr int kBase = 10000;
  static constexpr int kMotion = 10400;
  static constexpr int kJustBelow = 10399;
  static constexpr int kCalm = 10100;

  void SetUp() override;
  Engine& E() { return *h.engine; }
  EngineState& S() { return h.engine->State(); }
  std::string Panel(int panel) const { return h.form.PanelText(panel); }

  // Switches on and measures the base frame.
  void SwitchOn();
  // Off (ending what runs) and on again with a new base.
  void Restart();
  void Frame(int compressedSize);
  void Tick1();  // Timer1 if enabled
  void Tick2();  // Timer2 if enabled
  // Moves time in 50 ms steps: a frame every 200 ms, Timer2 at the next
  // step after it was armed, Timer1 every 250 ms while enabled.
  void Run(std::chrono::milliseconds duration, int compressedSize);
  // One frame, then Timer2: the recording's capture runs.
  void StartRecording();
  // The activity log's rows, one string each.
  std::vector<std::string> LogRows() const;

  std::string commandLine_;  // set by a derived fixture's constructor
  EngineHarness h;
  FrameMaker frames;
  std::int64_t elapsedMs_ = 0;
};

}  // namespace orvantix::testing
