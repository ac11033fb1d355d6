#include "app/engine/countdown.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/engine/watch_fixture.h"

namespace orvantix::testing {
namespace {

class FakeCountdownView : public CountdownView {
 public:
  std::vector<std::string> labels;
  FakeTimer timer;
  int closed = 0;
  void SetLabel2(const std::string& text) override { labels.push_back(text); }
  TimerControl& Timer1() override { return timer; }
  void Close() override { ++closed; }
};

class CountdownTest : public WatchTest {
 protected:
  void SetUp() override {
    WatchTest::SetUp();
    made_ = std::make_unique<Countdown>(view, E());
  }
  void TickWhileEnabled(int ticks) {
    for (int i = 0; i < ticks && view.timer.enabled; ++i) made_->Timer1_Timer();
  }
  FakeCountdownView view;
  std::unique_ptr<Countdown> made_;
  Countdown& countdown() { return *made_; }
};

TEST_F(CountdownTest, RunsOutAfterThirtySecondsAndSwitchesTheWatchOn) {
  countdown().Form_Load();
  EXPECT_EQ(view.labels.back(), "30 seconds");
  EXPECT_EQ(view.timer.interval, 1000);
  EXPECT_TRUE(view.timer.enabled);

  TickWhileEnabled(29);
  EXPECT_EQ(view.labels.back(), "1 seconds");
  EXPECT_FALSE(S().Armed);
  EXPECT_EQ(view.closed, 0);

  countdown().Timer1_Timer();
  EXPECT_EQ(view.labels.back(), "0 seconds");
  EXPECT_TRUE(S().Armed);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(view.closed, 1);
  EXPECT_FALSE(view.timer.enabled);  // a late tick cannot switch it again
}

TEST_F(CountdownTest, CancelLeavesTheWatchOff) {
  countdown().Form_Load();
  TickWhileEnabled(10);
  countdown().Command1_Click();
  EXPECT_EQ(view.closed, 1);
  EXPECT_FALSE(view.timer.enabled);
  EXPECT_FALSE(S().Armed);
  EXPECT_EQ(Panel(2), "OFF");
}

TEST_F(CountdownTest, WatchSwitchedOnMeanwhileStaysOn) {
  countdown().Form_Load();
  E().StartStop();  // e.g. from the remote console
  TickWhileEnabled(30);
  EXPECT_TRUE(S().Armed);
  EXPECT_EQ(view.closed, 1);
}

TEST_F(CountdownTest, RunOutWithTooLittleSpaceLeavesTheWatchOff) {
  h.system.freeMB = 1;
  countdown().Form_Load();
  TickWhileEnabled(30);
  EXPECT_FALSE(S().Armed);
  EXPECT_EQ(Panel(5), "LOW DISK SPACE");
  EXPECT_EQ(view.closed, 1);
}

class TimerMenuTest : public WatchTest {
 protected:
  TimerMenuTest() { commandLine_ = "/DEBUG"; }
};

TEST_F(TimerMenuTest, MenuShowsTheCountdownModallyAndTracesIt) {
  E().mnuTimer_Click();
  EXPECT_EQ(h.form.shown, std::vector<std::string>{"TimerForm"});
  const std::string trace = h.ReadFile(h.TracePath());
  EXPECT_NE(trace.find(" - Timer_Click - Display Timer Countdown\r\n"), std::string::npos);
}

}  // namespace
}  // namespace orvantix::testing
