#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "app/engine/deviation.h"
#include "tests/engine/watch_fixture.h"

namespace orvantix::testing {
namespace {

struct DeviationCase {
  std::int32_t size;
  std::int32_t base;
  double expected;
};

TEST(DeviationPercentTest, RoundsTheExactQuotientToTwoDecimalsHalvesToEven) {
  const DeviationCase cases[] = {
      {10000, 10000, 0.0},  {10325, 10000, 3.25},
      {9600, 10000, 4.0},    // a smaller frame deviates as much as a larger one
      {801, 800, 0.12},      // 0.125: half, down to even
      {803, 800, 0.38},      // 0.375: half, up to even
      {20027, 20000, 0.14},  // 0.135: half, up to even although 0.135 is no double
      {20029, 20000, 0.14},  // 0.145: half, down to even
      {20033, 20000, 0.16},  // 0.165: the double lies above, the half still goes to even
      {4107, 4000, 2.68},    // 2.675: the double lies below, the half still goes to even
      {20201, 20000, 1.0},   // 1.005
      {3, 3, 0.0},          {1, 3, 66.67},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DeviationPercent(c.size, c.base), static_cast<float>(c.expected))
        << c.size << " against " << c.base;
}

TEST(DeviationPercentTest, SizesFarApartDoNotOverflow) {
  // 29,999,000 bytes apart: the product by 100 leaves 32 bits.
  EXPECT_EQ(DeviationPercent(30000000, 1000), 2999900.0f);
  EXPECT_EQ(DeviationPercent(1000, 30000000), 100.0f);  // 99.9967 rounded
  EXPECT_EQ(DeviationPercent(0x7fffffff, 1), static_cast<float>(214748364600.0));
}

TEST(DeviationPercentTest, NoBaseMeasuresZero) { EXPECT_EQ(DeviationPercent(500, 0), 0.0f); }

TEST(DeviationTextTest, TwoDecimalsThenTheThresholdInShortestForm) {
  const std::tuple<float, float, const char*> cases[] = {
      {3.25f, 4.0f, "3.25%  (4%)"},
      {0.0f, 1.2f, "0.00%  (1.2%)"},
      {0.12f, 2.0f, "0.12%  (2%)"},
      {12.5f, 8.0f, "12.50%  (8%)"},
      {2999900.0f, 6.0f, "2999900.00%  (6%)"},
  };
  for (const auto& [deviation, threshold, text] : cases)
    EXPECT_EQ(DeviationText(deviation, threshold), text);
}

TEST(DeviationTextTest, KeepsThePointUnderACommaLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string text = DeviationText(3.25f, 1.2f);
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(text, "3.25%  (1.2%)");
}

using MotionTest = WatchTest;

TEST_F(MotionTest, FirstFrameBecomesTheBaseAndMeasuresZero) {
  E().StartStop();
  Frame(kBase);
  EXPECT_EQ(Panel(1), "0.00%  (4%)");
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(S().BaseSize, kBase);
  EXPECT_EQ(S().BaseCount, 1);
  EXPECT_EQ(S().FrameCount, 1);
  EXPECT_EQ(S().LastSize, kBase);
  EXPECT_EQ(S().BaseTime, h.clock.steady);
  EXPECT_FALSE(h.form.timer2.enabled);
}

TEST_F(MotionTest, DeviationAtOrAboveTheThresholdIsMotion) {
  struct Case {
    int size;
    const char* panel1;
    bool starts;
  };
  const Case cases[] = {
      {kMotion, "4.00%  (4%)", true},  // equal to the threshold
      {9600, "4.00%  (4%)", true},    {kJustBelow, "3.99%  (4%)", false},
      {10325, "3.25%  (4%)", false},  {kCalm, "1.00%  (4%)", false},
      {11000, "10.00%  (4%)", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Restart();
    Frame(c.size);
    EXPECT_EQ(Panel(1), c.panel1);
    EXPECT_EQ(Panel(2), c.starts ? "RECORDING" : "STANDBY");
    EXPECT_EQ(h.form.timer2.enabled, c.starts);
    EXPECT_EQ(h.form.Item("mnuSuspend").enabled, c.starts);
    EXPECT_EQ(S().FrameCount, 2);
    EXPECT_EQ(S().LastSize, c.size);
  }
}

TEST_F(MotionTest, StartNamesTheFileAfterTheStartTime) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  setenv("TZ", "UTC", 1);
  tzset();
  SwitchOn();
  Frame(kMotion);
  if (previous)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();

  EXPECT_EQ(Panel(5), "05/28/02 22:19:26");
  EXPECT_EQ(S().OutFile, h.VidPath() + "052802-221926.avi");
  EXPECT_EQ(h.kelvra.captureFile, S().OutFile);
  EXPECT_EQ(h.form.timer2.interval, 1);
  EXPECT_TRUE(h.form.timer2.enabled);
  EXPECT_FALSE(h.kelvra.capturing);  // the capture starts on Timer2's tick
}

TEST_F(MotionTest, RepeatedStartsBeforeTheCaptureKeepTheLastName) {
  SwitchOn();
  Frame(kMotion);
  const std::string first = h.kelvra.captureFile;
  h.clock.Advance(std::chrono::milliseconds(200));  // same second
  Frame(kMotion);
  EXPECT_EQ(h.kelvra.captureFile, first);
  h.clock.Advance(std::chrono::milliseconds(1000));
  Frame(kMotion);
  const std::string last = h.kelvra.captureFile;
  EXPECT_NE(last, first);
  Tick2();
  EXPECT_EQ(h.kelvra.calls.back(), "StartCapture " + last);
}

TEST_F(MotionTest, ForceRecordMakesAZeroFrameStartARecording) {
  SwitchOn();
  S().ForceRecord = true;
  Frame(kBase);
  EXPECT_EQ(Panel(1), "0.00%  (4%)");
  EXPECT_EQ(Panel(2), "RECORDING");
  EXPECT_FALSE(S().ForceRecord);
}

TEST_F(MotionTest, ForceRecordWaitsWhileACaptureRuns) {
  SwitchOn();
  StartRecording();
  S().ForceRecord = true;
  Frame(kBase);
  EXPECT_TRUE(S().ForceRecord);
  EXPECT_FALSE(h.form.timer2.enabled);
  EXPECT_EQ(h.kelvra.calls.back(), "StartCapture " + h.kelvra.captureFile);
}

TEST_F(MotionTest, ForceRecordWaitsWhileCalmIsAwaited) {
  SwitchOn();
  S().AwaitCalm = true;
  S().ForceRecord = true;
  Frame(kBase);
  EXPECT_TRUE(S().ForceRecord);
  EXPECT_FALSE(h.form.timer2.enabled);
}

TEST_F(MotionTest, NothingIsMeasuredWhileMailingOrSwitchedOff) {
  Frame(kMotion);  // switched off
  EXPECT_EQ(S().FrameCount, 0);
  EXPECT_EQ(Panel(1), "");

  SwitchOn();
  S().Mailing = true;
  h.form.SetPanelText(1, "n/a");
  h.form.SetPanelText(2, "MAILING");
  Frame(kMotion);
  EXPECT_EQ(S().FrameCount, 1);
  EXPECT_EQ(Panel(1), "n/a");
  EXPECT_EQ(Panel(2), "MAILING");
  EXPECT_FALSE(h.form.timer2.enabled);
}

TEST_F(MotionTest, CapturedFramesAreMeasuredOnceThroughTheStream) {
  SwitchOn();
  StartRecording();
  const int before = S().FrameCount;
  Frame(kCalm);  // the fake raises both events while capturing
  EXPECT_EQ(S().FrameCount, before + 1);
}

TEST_F(MotionTest, VariableRuleQuietFrameStartsTheCountdownAndMotionCancelsIt) {
  SwitchOn();
  StartRecording();
  EXPECT_FALSE(S().StopPending);
  h.clock.Advance(std::chrono::seconds(2));
  Frame(kCalm);
  EXPECT_TRUE(S().StopPending);
  EXPECT_EQ(S().StopRequestTime, h.clock.steady);
  h.clock.Advance(std::chrono::seconds(2));
  Frame(kCalm);  // the countdown keeps its start
  EXPECT_EQ(S().StopRequestTime, h.clock.steady - std::chrono::seconds(2));
  Frame(kMotion);
  EXPECT_FALSE(S().StopPending);
}

TEST_F(MotionTest, FixedRuleCountdownStartsAtTheFirstCapturedFrameWhateverItShows) {
  E().mnuTimeType_Click(2);
  SwitchOn();
  StartRecording();
  Frame(kMotion);
  EXPECT_TRUE(S().StopPending);
  const auto started = S().StopRequestTime;
  h.clock.Advance(std::chrono::seconds(3));
  Frame(kMotion);
  Frame(kCalm);
  EXPECT_EQ(S().StopRequestTime, started);
}

TEST_F(MotionTest, FrameWithoutDataIsIgnored) {
  SwitchOn();
  platform::capture::FrameHeader header;
  header.dwBytesUsed = 1000;
  header.dwBufferLength = 1000;
  E().FrameCallback(header);
  EXPECT_EQ(S().FrameCount, 1);
}

TEST_F(MotionTest, StatusTextLosesItsTrailingNulAndReachesAVisibleStatistics) {
  E().StatusCallback(0, std::string("Capturing\0", 10));
  EXPECT_EQ(S().DriverStatus, "Capturing");
  EXPECT_EQ(h.form.statisticsStatus, "");  // hidden: the window reads it later

  h.form.ShowStatistics();
  E().StatusCallback(1, "Idle");
  EXPECT_EQ(S().DriverStatus, "Idle");
  EXPECT_EQ(h.form.statisticsStatus, "Idle");

  E().StatusCallback(2, "");
  EXPECT_EQ(S().DriverStatus, "");
}

}  // namespace
}  // namespace orvantix::testing
