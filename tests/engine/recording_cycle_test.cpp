#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/engine/watch_fixture.h"

namespace orvantix::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class RecordingCycleTest : public WatchTest {
 protected:
  void EnableMail() {
    S().Notify = 1;
    S().EMail = "watch@example.org";
    S().SMTPServer = "smtp.example.org";
  }
  // Lets the stop countdown run out and ticks once.
  void RunOutCountdown() {
    h.clock.Advance(seconds(S().RecordSeconds));
    Tick1();
  }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(h.kelvra.calls.begin(), h.kelvra.calls.end(), call));
  }
  int CapturesStarted() const {
    return static_cast<int>(
        std::count_if(h.kelvra.calls.begin(), h.kelvra.calls.end(),
                      [](const std::string& c) { return c.rfind("StartCapture", 0) == 0; }));
  }
  RecordingMailer mailer;
};

TEST_F(RecordingCycleTest, SwitchingOnGoesToStandbyAndResetsTheCounters) {
  S().FrameCount = 7;
  S().BaseCount = 3;
  S().LastSize = 99;
  S().LastDeviation = 2.5f;
  S().RefreshRemaining = 12;
  S().BaseSize = 1234;
  S().Mailing = true;
  h.form.SetPanelText(5, "Overlay disabled");

  E().StartStop();
  EXPECT_TRUE(S().Armed);
  EXPECT_FALSE(S().Mailing);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(Panel(5), "");
  EXPECT_TRUE(h.form.timer1.enabled);
  EXPECT_EQ(h.form.Item("mnuStart").caption, "&Stop");
  EXPECT_FALSE(h.form.Item("mnuTimer").visible);
  EXPECT_EQ(S().BaseSize, 0);
  EXPECT_EQ(S().FrameCount, 0);
  EXPECT_EQ(S().BaseCount, 0);
  EXPECT_EQ(S().LastSize, 0);
  EXPECT_EQ(S().LastDeviation, 0.0f);
  EXPECT_EQ(S().RefreshRemaining, 0);
  EXPECT_FALSE(h.form.statisticsVisible);

  E().StartStop();
  EXPECT_FALSE(S().Armed);
  EXPECT_EQ(Panel(1), "");
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_EQ(Panel(3), "");
  EXPECT_FALSE(h.form.timer1.enabled);
  EXPECT_EQ(h.form.Item("mnuStart").caption, "&Start");
  EXPECT_TRUE(h.form.Item("mnuTimer").visible);
}

TEST_F(RecordingCycleTest, StatisticsFollowTheWatchWhenWanted) {
  h.form.Item("mnuStat").checked = true;
  E().StartStop();
  EXPECT_TRUE(h.form.statisticsVisible);
  E().StartStop();
  EXPECT_FALSE(h.form.statisticsVisible);
}

TEST_F(RecordingCycleTest, FreeSpaceBelowLowSpaceKeepsTheWatchOff) {
  const std::pair<double, bool> cases[] = {{0.0, false}, {19.99, false}, {20.0, true}};
  for (const auto& [freeMB, switchesOn] : cases) {
    SCOPED_TRACE(freeMB);
    h.system.freeMB = freeMB;
    h.form.SetPanelText(5, "");
    E().StartStop();
    EXPECT_EQ(S().Armed, switchesOn);
    EXPECT_EQ(Panel(2), switchesOn ? "STANDBY" : "OFF");
    EXPECT_EQ(Panel(5), switchesOn ? "" : "LOW DISK SPACE");
    EXPECT_EQ(h.form.timer1.enabled, switchesOn);
    if (S().Armed) E().StartStop();
  }
}

TEST_F(RecordingCycleTest, MotionRecordsFromTheNextTimer2Tick) {
  SwitchOn();
  Frame(kMotion);
  EXPECT_EQ(Panel(2), "RECORDING");
  EXPECT_FALSE(h.kelvra.capturing);
  Tick2();
  EXPECT_FALSE(h.form.timer2.enabled);
  EXPECT_TRUE(h.kelvra.capturing);
  EXPECT_EQ(h.kelvra.calls.back(), "StartCapture " + S().OutFile);
  EXPECT_TRUE(h.kelvra.stills.empty());  // no mail wanted: no snapshot
}

TEST_F(RecordingCycleTest, VariableRuleEndsRecordSecondsAfterTheLastMotion) {
  SwitchOn();
  Run(seconds(5), kMotion);
  ASSERT_TRUE(h.kelvra.capturing);
  const std::string start = Panel(5);
  const std::int64_t lastMotion = elapsedMs_ - elapsedMs_ % 200;

  std::vector<std::string> countdown;
  while (h.kelvra.capturing && elapsedMs_ < 60000) {
    Run(milliseconds(250), kCalm);
    if (countdown.empty() || countdown.back() != Panel(4)) countdown.push_back(Panel(4));
  }
  const std::int64_t endedAfter = elapsedMs_ - lastMotion;
  EXPECT_GE(endedAfter, 30000);
  EXPECT_LE(endedAfter, 30500);

  std::vector<std::string> expected;
  for (int s = 30; s >= 1; --s) expected.push_back(std::to_string(s) + " sec");
  expected.push_back("");
  EXPECT_EQ(countdown, expected);

  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(Panel(5), "");
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_EQ(Count("StopCapture"), 1);
  const auto rows = LogRows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(rows[0].find("<TD ALIGN=LEFT>" + start + "</TD>"), std::string::npos) << rows[0];
  EXPECT_NE(rows[0].find("file://" + S().OutFile), std::string::npos) << rows[0];
}

TEST_F(RecordingCycleTest, FixedRuleEndsAfterRecordSecondsAndWaitsForCalm) {
  E().mnuTimeType_Click(2);
  E().mnuRec_Click(1);  // 10 seconds
  SwitchOn();
  Run(milliseconds(250), kMotion);
  ASSERT_TRUE(h.kelvra.capturing);
  const std::int64_t captureStart = elapsedMs_;
  while (h.kelvra.capturing && elapsedMs_ < 60000) Run(milliseconds(50), kMotion);
  const std::int64_t recorded = elapsedMs_ - captureStart;
  EXPECT_GE(recorded, 10000);
  EXPECT_LE(recorded, 10500);
  EXPECT_EQ(Panel(2), "RECORDED");
  EXPECT_TRUE(S().AwaitCalm);

  Run(seconds(20), kMotion);  // motion goes on: no new recording
  EXPECT_EQ(CapturesStarted(), 1);
  EXPECT_EQ(Panel(2), "RECORDED");
  EXPECT_EQ(Panel(3), "Wait");

  Frame(kCalm);
  EXPECT_FALSE(S().AwaitCalm);
  EXPECT_EQ(Panel(2), "STANDBY");
  Frame(kMotion);
  EXPECT_EQ(Panel(2), "RECORDING");
}

TEST_F(RecordingCycleTest, SuspendFromTheMenuEndsAndLogsWithoutMail) {
  EnableMail();
  E().SetMailer(&mailer);
  SwitchOn();
  StartRecording();
  E().mnuSuspend_Click();
  EXPECT_FALSE(h.kelvra.capturing);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_TRUE(h.form.timer1.enabled);
  EXPECT_TRUE(mailer.startTimes.empty());
  EXPECT_FALSE(S().Mailing);
  EXPECT_EQ(LogRows().size(), 1u);
}

TEST_F(RecordingCycleTest, MailAfterTheCountdownThenBackByItsOutcome) {
  struct Case {
    int timeType;
    bool sent;
    const char* after;
    const char* row;
  };
  const Case cases[] = {
      {1, true, "STANDBY", "Mail sent to watch@example.org"},
      {2, true, "RECORDED", "Mail sent to watch@example.org"},
      {1, false, "STANDBY", "Error sending mail: 550 refused &lt;spam&gt;"},
      {2, false, "STANDBY", "Error sending mail: 550 refused &lt;spam&gt;"},
  };
  EnableMail();
  E().SetMailer(&mailer);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.timeType) + (c.sent ? " sent" : " failed"));
    E().mnuTimeType_Click(static_cast<std::int16_t>(c.timeType));
    Restart();
    StartRecording();
    const std::string start = Panel(5);
    Frame(kCalm);
    RunOutCountdown();

    EXPECT_FALSE(h.kelvra.capturing);
    EXPECT_EQ(Panel(2), "MAILING");
    EXPECT_TRUE(S().Mailing);
    EXPECT_FALSE(h.form.timer1.enabled);
    ASSERT_FALSE(mailer.startTimes.empty());
    EXPECT_EQ(mailer.startTimes.back(), start);
    EXPECT_EQ(S().AwaitCalm, c.timeType == 2);

    E().MailFinished(c.sent, "550 refused <spam>");
    EXPECT_EQ(Panel(2), c.after);
    EXPECT_FALSE(S().Mailing);
    EXPECT_TRUE(h.form.timer1.enabled);
    EXPECT_EQ(S().AwaitCalm, c.timeType == 2);
    const auto rows = LogRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_NE(rows.back().find(c.row), std::string::npos) << rows.back();
  }
}

TEST_F(RecordingCycleTest, WithoutAMailerTheMailFailsAtOnce) {
  EnableMail();
  SwitchOn();
  StartRecording();
  Frame(kCalm);
  RunOutCountdown();
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_FALSE(S().Mailing);
  EXPECT_TRUE(h.form.timer1.enabled);
  const auto rows = LogRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[1].find("Error sending mail: notification mail is not available"),
            std::string::npos);
}

TEST_F(RecordingCycleTest, MailConditionsDecideSnapshotAndMail) {
  struct Case {
    int notify;
    const char* email;
    const char* server;
    bool mail;
  };
  const Case cases[] = {
      {1, "watch@example.org", "smtp.example.org", true},
      {0, "watch@example.org", "smtp.example.org", false},
      {1, "   ", "smtp.example.org", false},
      {1, "watch@example.org", "  ", false},
      {1, "", "smtp.example.org", false},
      {2, "watch@example.org", "smtp.example.org", false},
  };
  E().SetMailer(&mailer);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.notify) + " '" + c.email + "' '" + c.server + "'");
    S().Notify = c.notify;
    S().EMail = c.email;
    S().SMTPServer = c.server;
    h.kelvra.stills.clear();
    mailer.startTimes.clear();
    Restart();
    StartRecording();
    EXPECT_EQ(h.kelvra.stills, c.mail ? std::vector<std::string>{h.VidPath() + "StillShot.dib"}
                                      : std::vector<std::string>{});
    if (c.mail) {
      EXPECT_EQ(S().SnapshotDib, h.VidPath() + "StillShot.dib");
    }
    Frame(kCalm);
    RunOutCountdown();
    EXPECT_EQ(mailer.startTimes.size(), c.mail ? 1u : 0u);
    if (S().Mailing) E().MailFinished(true, "");
  }
}

class NoMailTest : public RecordingCycleTest {
 protected:
  NoMailTest() { commandLine_ = "x/nOmAiLx"; }
};

TEST_F(NoMailTest, NoSnapshotAndNoMailWhateverNotifySays) {
  EnableMail();
  E().SetMailer(&mailer);
  SwitchOn();
  StartRecording();
  EXPECT_TRUE(h.kelvra.stills.empty());
  Frame(kCalm);
  RunOutCountdown();
  EXPECT_TRUE(mailer.startTimes.empty());
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_TRUE(h.form.timer1.enabled);
}

TEST_F(RecordingCycleTest, FailedSnapshotLeavesNoOldPictureAndStillRecords) {
  EnableMail();
  const std::filesystem::path old = h.VidPath() + "StillShot.dib";
  std::ofstream(old) << "an earlier recording's frame";
  h.kelvra.failSaveFrameDib = true;
  SwitchOn();
  StartRecording();
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_EQ(Panel(2), "RECORDING");
}

TEST_F(RecordingCycleTest, SwitchingOffDuringARecordingLogsItAndSendsNoMail) {
  EnableMail();
  E().SetMailer(&mailer);
  SwitchOn();
  StartRecording();
  Frame(kCalm);
  E().StartStop();
  EXPECT_FALSE(h.kelvra.capturing);
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_EQ(Panel(4), "");
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_TRUE(mailer.startTimes.empty());
  EXPECT_EQ(LogRows().size(), 1u);
}

TEST_F(RecordingCycleTest, SwitchingOffBeforeTheCaptureBeganCancelsIt) {
  SwitchOn();
  Frame(kMotion);
  E().StartStop();
  EXPECT_FALSE(h.form.timer2.enabled);
  Tick2();
  EXPECT_EQ(CapturesStarted(), 0);
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_EQ(LogRows().size(), 1u);  // a decided recording is logged, started or not
}

TEST_F(RecordingCycleTest, SuspendBeforeTheCaptureBeganCancelsIt) {
  SwitchOn();
  Frame(kMotion);
  E().mnuSuspend_Click();
  EXPECT_FALSE(h.form.timer2.enabled);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(CapturesStarted(), 0);
}

TEST_F(RecordingCycleTest, LowSpaceWhileArmedSwitchesOffAndSaysWhy) {
  SwitchOn();
  StartRecording();
  h.system.freeMB = 5;
  Tick1();
  EXPECT_FALSE(S().Armed);
  EXPECT_FALSE(h.kelvra.capturing);
  EXPECT_FALSE(h.form.timer1.enabled);
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_EQ(Panel(5), "LOW DISK SPACE");
  EXPECT_EQ(LogRows().size(), 1u);
}

TEST_F(RecordingCycleTest, CaptureThatCannotStartLeavesAConsistentStandby) {
  h.kelvra.hasOverlay = true;
  h.kelvra.failStartCapture = true;
  SwitchOn();
  Frame(kMotion);
  const std::string file = h.kelvra.captureFile;
  Tick2();
  EXPECT_FALSE(h.kelvra.capturing);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(Panel(5), "Recording failed: cannot create " + file);
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_FALSE(h.kelvra.overlay);
  EXPECT_TRUE(h.kelvra.preview);

  Run(seconds(2), kCalm);  // the watch goes on, nothing to end
  EXPECT_TRUE(S().Armed);
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_TRUE(LogRows().empty());

  h.kelvra.failStartCapture = false;
  StartRecording();
  EXPECT_EQ(Panel(2), "RECORDING");
}

TEST_F(RecordingCycleTest, CaptureThatEndedByItselfEndsTheRecording) {
  SwitchOn();
  StartRecording();
  Frame(kCalm);
  h.kelvra.capturing = false;  // the device went away
  Tick1();
  EXPECT_EQ(Panel(2), "STANDBY");
  EXPECT_EQ(Panel(5), "Recording ended: the capture stopped");
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_EQ(LogRows().size(), 1u);
  Tick1();
  EXPECT_EQ(LogRows().size(), 1u);
  EXPECT_TRUE(S().Armed);
}

TEST_F(RecordingCycleTest, MotionWhileAFixedRecordingEndsStartsNothing) {
  E().mnuTimeType_Click(2);
  SwitchOn();
  StartRecording();
  Frame(kMotion);
  bool pumping = false;
  bool deliver = false;
  E().SetPumpMessages([&] {
    if (!deliver || pumping) return;
    pumping = true;
    Frame(kMotion);  // a frame that was queued when the capture stopped
    pumping = false;
  });
  deliver = true;
  RunOutCountdown();
  deliver = false;
  EXPECT_EQ(Panel(2), "RECORDED");
  EXPECT_TRUE(S().AwaitCalm);
  EXPECT_FALSE(h.form.timer2.enabled);
  EXPECT_FALSE(h.form.Item("mnuSuspend").enabled);
  EXPECT_EQ(CapturesStarted(), 1);
}

TEST_F(RecordingCycleTest, SwitchedOffWhileTheRecordingEndsMeansNoMail) {
  EnableMail();
  E().SetMailer(&mailer);
  SwitchOn();
  StartRecording();
  Frame(kCalm);
  bool once = true;
  E().SetPumpMessages([&] {
    if (once && !h.kelvra.capturing) {
      once = false;
      E().StartStop();
    }
  });
  RunOutCountdown();
  EXPECT_FALSE(S().Armed);
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_FALSE(S().Mailing);
  EXPECT_TRUE(mailer.startTimes.empty());
  EXPECT_FALSE(h.form.timer1.enabled);
  EXPECT_EQ(LogRows().size(), 1u);
}

TEST_F(RecordingCycleTest, MailFinishingAfterTheWatchChangedKeepsItsState) {
  EnableMail();
  E().SetMailer(&mailer);
  SwitchOn();
  StartRecording();
  Frame(kCalm);
  RunOutCountdown();
  ASSERT_TRUE(S().Mailing);

  E().StartStop();  // off while the mail is under way
  E().MailFinished(true, "");
  EXPECT_EQ(Panel(2), "OFF");
  EXPECT_FALSE(h.form.timer1.enabled);

  SwitchOn();  // a second mail; off and on again; a new recording begins
  StartRecording();
  Frame(kCalm);
  RunOutCountdown();
  ASSERT_TRUE(S().Mailing);
  E().StartStop();
  SwitchOn();
  StartRecording();
  E().MailFinished(false, "timeout");
  EXPECT_EQ(Panel(2), "RECORDING");
  EXPECT_TRUE(h.form.timer1.enabled);
}

TEST_F(RecordingCycleTest, Panel3ShowsTheRefreshCountdownOrWait) {
  struct Case {
    bool capturing;
    bool suspendRefresh;
    bool awaitCalm;
    std::int16_t refreshSeconds;
    bool haveBase;
    const char* panel3;
  };
  const Case cases[] = {
      {false, true, false, 60, true, "60 sec"}, {true, true, false, 60, true, "Wait"},
      {true, false, false, 60, true, "60 sec"}, {false, true, true, 60, true, "Wait"},
      {true, true, false, 0, true, ""},         {false, true, false, 60, false, ""},
      {false, false, true, 60, true, "Wait"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    Restart();
    h.kelvra.capturing = c.capturing;
    S().SuspendRefresh = c.suspendRefresh;
    S().AwaitCalm = c.awaitCalm;
    S().RefreshSeconds = c.refreshSeconds;
    if (!c.haveBase) S().BaseSize = 0;
    Tick1();
    EXPECT_EQ(Panel(3), c.panel3);
    h.kelvra.capturing = false;
  }
}

TEST_F(RecordingCycleTest, BaseIsRefreshedWhenItsTimeRunsOut) {
  SwitchOn();  // refresh every 60 s
  Run(seconds(30), kBase);
  EXPECT_EQ(Panel(3), "30 sec");
  EXPECT_EQ(S().RefreshRemaining, 30);
  Run(seconds(30) + milliseconds(200), kCalm);
  EXPECT_EQ(S().BaseCount, 2);
  EXPECT_EQ(S().BaseSize, kCalm);
  Tick1();
  EXPECT_EQ(Panel(3), "60 sec");
}

TEST_F(RecordingCycleTest, RefreshDueDuringARecordingWaitsForItsEnd) {
  SwitchOn();
  StartRecording();
  Run(seconds(90), kMotion);
  EXPECT_EQ(S().BaseCount, 1);
  EXPECT_EQ(Panel(3), "Wait");
  while (h.kelvra.capturing && elapsedMs_ < 200000) Run(milliseconds(250), kCalm);
  Run(milliseconds(200), kCalm);
  EXPECT_EQ(S().BaseCount, 2);
}

TEST_F(RecordingCycleTest, WithoutSuspendRefreshTheBaseIsRefreshedWhileRecording) {
  E().mnuSuspendRefresh_Click();
  ASSERT_FALSE(S().SuspendRefresh);
  SwitchOn();
  StartRecording();
  Run(seconds(61), kMotion);
  EXPECT_TRUE(h.kelvra.capturing);
  EXPECT_EQ(S().BaseCount, 2);
}

TEST_F(RecordingCycleTest, NeverRefreshKeepsTheBase) {
  E().mnuRefresh_Click(7);
  SwitchOn();
  h.clock.Advance(std::chrono::hours(5));
  Tick1();
  EXPECT_EQ(Panel(3), "");
  Frame(kCalm);
  EXPECT_EQ(S().BaseCount, 1);
  EXPECT_EQ(S().BaseSize, kBase);
}

TEST_F(RecordingCycleTest, RefreshCountdownFarOverdueStaysInRange) {
  SwitchOn();
  h.clock.Advance(std::chrono::hours(24));  // e.g. the host slept
  Tick1();
  EXPECT_EQ(S().BaseSize, 0);
  EXPECT_EQ(S().RefreshRemaining, -32768);
}

TEST_F(RecordingCycleTest, ScreenSaverStartsWithTheWatch) {
  struct Case {
    const char* saver;
    const char* folder;
    std::vector<std::string> opened;
  };
  const Case cases[] = {
      {"Mystify", "/savers/", {"/savers/Mystify.scr"}},
      {"", "/savers/", {}},
      {"--- (None) ---", "/savers/", {}},
      {"--- ", "/savers/", {}},
      {"---Bubbles", "/savers/", {"/savers/---Bubbles.scr"}},
      {"Mystify", "", {}},  // no saver folder known
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saver);
    S().SAVER = c.saver;
    h.system.systemFolder = c.folder;
    h.system.opened.clear();
    E().StartStop();
    EXPECT_EQ(h.system.opened, c.opened);
    E().StartStop();
    EXPECT_EQ(h.system.opened, c.opened);  // only when switching on
  }
}

TEST_F(RecordingCycleTest, OverlayDuringTheCaptureWhenPossibleAndAllowed) {
  struct Case {
    bool hasOverlay;
    bool noOverlay;
    std::vector<std::string> atStart;
    std::vector<std::string> atEnd;
  };
  const Case cases[] = {
      {true, false, {"Preview off", "Overlay on"}, {"Overlay off", "Preview on"}},
      {true, true, {}, {}},
      {false, false, {}, {}},
  };
  auto displayCalls = [this] {
    std::vector<std::string> calls;
    for (const auto& c : h.kelvra.calls)
      if (c.rfind("Overlay", 0) == 0 || c.rfind("Preview", 0) == 0) calls.push_back(c);
    h.kelvra.calls.clear();
    return calls;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    h.kelvra.hasOverlay = c.hasOverlay;
    S().NoOverlay = c.noOverlay;
    Restart();
    h.kelvra.calls.clear();
    StartRecording();
    EXPECT_EQ(displayCalls(), c.atStart);
    E().mnuSuspend_Click();
    EXPECT_EQ(displayCalls(), c.atEnd);
  }
}

class TracedCycleTest : public RecordingCycleTest {
 protected:
  TracedCycleTest() { commandLine_ = "/DEBUG"; }

  // "context - step" of each trace line from the line `from` on.
  std::vector<std::string> TraceSteps(std::size_t from) const {
    std::ifstream in(h.TracePath(), std::ios::binary);
    std::vector<std::string> steps;
    std::string line;
    for (std::size_t n = 0; std::getline(in, line); ++n) {
      if (n < from) continue;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const auto first = line.find(" - ");
      steps.push_back(first == std::string::npos ? line : line.substr(first + 3));
    }
    return steps;
  }
};

TEST_F(TracedCycleTest, OneRecordingTracesEveryStepInOrder) {
  const std::size_t from = TraceSteps(0).size();
  SwitchOn();
  Frame(kMotion);
  Tick2();
  Frame(kCalm);
  RunOutCountdown();
  const std::vector<std::string> measure = {"Frame_Handler - Step 1", "Frame_Handler - Step 2",
                                            "Frame_Handler - Step 3", "Frame_Handler - Step 4"};
  std::vector<std::string> expected = {"Start - Step 1", "Start - Step 2", "Start - Step 3",
                                       "Frame_Callback - Begin"};
  expected.insert(expected.end(), measure.begin(), measure.end());
  expected.push_back("Frame_Callback - End");
  expected.push_back("Frame_Callback - Begin");
  expected.insert(expected.end(), measure.begin(), measure.end());
  expected.insert(expected.end(), {"Frame_Handler - Initiate Start", "Frame_Handler - Set outfile",
                                   "Frame_Callback - End", "Timer_2 - Step 1", "Timer_2 - Step 3",
                                   "Timer_2 - Step 4", "Stream_Callback - Begin"});
  expected.insert(expected.end(), measure.begin(), measure.end());
  expected.insert(expected.end(),
                  {"Frame_Handler - Initiate Stop (variable recording time)",
                   "Stream_Callback - End", "Timer_1 - Countdown ending period", "Suspend - Step 1",
                   "Suspend - Step 2", "Suspend - Step 3", "Suspend - Step 4",
                   "Timer_1 - Check new base", "Timer_1 - Check low space"});
  EXPECT_EQ(TraceSteps(from), expected);
}

TEST_F(TracedCycleTest, FailuresAreTraced) {
  EnableMail();
  h.kelvra.failSaveFrameDib = true;
  h.kelvra.failStartCapture = true;
  SwitchOn();
  Frame(kMotion);
  const std::size_t from = TraceSteps(0).size();
  Tick2();
  const std::vector<std::string> expected = {
      "Timer_2 - Step 1",
      "Timer_2 - Step 2 (Snapshot)",
      "Timer_2 - Snapshot failed: no frame",
      "Timer_2 - Step 3",
      "Timer_2 - Step 4",
      "Timer_2 - Recording failed: cannot create " + S().OutFile};
  EXPECT_EQ(TraceSteps(from), expected);
}

TEST_F(TracedCycleTest, SwitchingOffTracesItsSteps) {
  SwitchOn();
  const std::size_t from = TraceSteps(0).size();
  E().StartStop();
  const std::vector<std::string> expected = {"Stop - Step 1", "Stop - Step 2", "Stop - Step 3"};
  EXPECT_EQ(TraceSteps(from), expected);
}

}  // namespace
}  // namespace orvantix::testing
