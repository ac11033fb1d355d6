#include <gtest/gtest.h>

#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

class MenuCommandsTest : public ::testing::Test {
 protected:
  EngineHarness h;
  void SetUp() override {
    h.kelvra.names[1] = "Second camera";
    h.Start("/DEBUG").Form_Load();
  }
  Engine& E() { return *h.engine; }
  std::string Trace() const { return h.ReadFile(h.TracePath()); }
};

TEST_F(MenuCommandsTest, RadioGroupsSetStateCheckOneEntryAndStoreTheIndex) {
  struct Case {
    void (Engine::*click)(std::int16_t);
    const char* group;
    const char* key;
    std::int16_t index;
    std::function<double(const EngineState&)> state;
    double expected;
  };
  const Case cases[] = {
      {&Engine::mnuSensitivity_Click, "mnuSensitivity", "Sensitivity", 1,
       [](const EngineState& s) { return s.Threshold; }, 1.2f},
      {&Engine::mnuSensitivity_Click, "mnuSensitivity", "Sensitivity", 5,
       [](const EngineState& s) { return s.Threshold; }, 8.0f},
      {&Engine::mnuRec_Click, "mnuRec", "RecStop", 4,
       [](const EngineState& s) { return s.RecordSeconds; }, 60},
      {&Engine::mnuRec_Click, "mnuRec", "RecStop", 6,
       [](const EngineState& s) { return s.RecordSeconds; }, 300},
      {&Engine::mnuRefresh_Click, "mnuRefresh", "NewBase", 6,
       [](const EngineState& s) { return s.RefreshSeconds; }, 3600},
      {&Engine::mnuRefresh_Click, "mnuRefresh", "NewBase", 7,
       [](const EngineState& s) { return s.RefreshSeconds; }, 0},
      {&Engine::mnuTimeType_Click, "mnuTimeType", "TimeType", 2,
       [](const EngineState& s) { return s.TimeType; }, 2},
  };
  for (const Case& c : cases) {
    (E().*c.click)(c.index);
    EXPECT_DOUBLE_EQ(c.state(E().State()), c.expected) << c.group << " " << c.index;
    EXPECT_EQ(h.form.CheckedEntries(c.group), std::vector<int>{c.index}) << c.group;
    EXPECT_EQ(h.store.Value(c.key), std::to_string(c.index));
  }
}

TEST_F(MenuCommandsTest, IndexOutsideTheTableKeepsStateChecksNothingAndIsStored) {
  E().mnuSensitivity_Click(7);
  E().mnuRec_Click(0);
  E().mnuRefresh_Click(-2);
  E().mnuTimeType_Click(5);
  EXPECT_FLOAT_EQ(E().State().Threshold, 4.0f);
  EXPECT_EQ(E().State().RecordSeconds, 30);
  EXPECT_EQ(E().State().RefreshSeconds, 60);
  EXPECT_EQ(E().State().TimeType, 5);
  for (const char* group : {"mnuSensitivity", "mnuRec", "mnuRefresh", "mnuTimeType"})
    EXPECT_TRUE(h.form.CheckedEntries(group).empty()) << group;
  EXPECT_EQ(h.store.Value("Sensitivity"), "7");
  EXPECT_EQ(h.store.Value("RecStop"), "0");
  EXPECT_EQ(h.store.Value("NewBase"), "-2");
  EXPECT_EQ(h.store.Value("TimeType"), "5");
}

TEST_F(MenuCommandsTest, RadioChoicesTraceFirstAndLastStep) {
  E().mnuRec_Click(2);
  E().mnuTimeType_Click(1);
  const std::string text = Trace();
  for (const char* pair :
       {"Rec_Click - Change Recording Time\r\n", "Rec_Click - Recording Time changed\r\n",
        "RecType_Click - Change Recording Time Type\r\n",
        "RecType_Click - Recording Time Type changed\r\n"})
    EXPECT_NE(text.find(pair), std::string::npos) << pair;
}

TEST_F(MenuCommandsTest, ChoosingAnotherDeviceConnectsItAndStoresItsEntry) {
  E().mnuDevice_Click(3);
  EXPECT_EQ(h.kelvra.driverIndex, 1);
  EXPECT_EQ(h.form.CheckedEntries("mnuDevice"), std::vector<int>{3});
  EXPECT_EQ(h.store.Value("Camera"), "3");
  EXPECT_NE(Trace().find("Device_Click - Select device 1\r\n"), std::string::npos);
}

TEST_F(MenuCommandsTest, ChoosingTheCheckedDeviceConnectsItAgain) {
  h.kelvra.calls.clear();
  h.store.SaveSetting("Orvantix", "CONFIG", "Camera", "x");
  E().mnuDevice_Click(2);
  EXPECT_EQ(h.kelvra.calls, std::vector<std::string>{"SetDriverIndex 0"});
  EXPECT_EQ(h.store.Value("Camera"), "2");
}

TEST_F(MenuCommandsTest, FailedDeviceChoiceWarnsUnchecksAllAndDisablesTheWatch) {
  h.kelvra.failingDrivers = {1};
  E().mnuDevice_Click(3);
  ASSERT_EQ(h.form.messages.size(), 1u);
  EXPECT_EQ(h.form.messages[0].first, "The selected video device is currently not available.");
  EXPECT_EQ(h.form.messages[0].second, MsgBoxStyle::kCriticalOk);
  EXPECT_TRUE(h.form.CheckedEntries("mnuDevice").empty());
  for (const char* name : {"mnuSource", "mnuFormat", "mnuCompress", "mnuStartStop"})
    EXPECT_FALSE(h.form.Item(name).enabled) << name;
  EXPECT_EQ(h.store.Value("Camera"), "2");
  EXPECT_NE(Trace().find("Device_Click - Can't select device\r\n"), std::string::npos);

  E().mnuDevice_Click(2);
  EXPECT_TRUE(h.form.Item("mnuStartStop").enabled);
  EXPECT_TRUE(h.form.Item("mnuCompress").enabled);
  EXPECT_EQ(h.form.CheckedEntries("mnuDevice"), std::vector<int>{2});
}

TEST_F(MenuCommandsTest, FailedDeviceChoiceWhileArmedSwitchesTheWatchOff) {
  E().StartStop();
  ASSERT_TRUE(E().State().Armed);
  h.kelvra.failingDrivers = {1};
  E().mnuDevice_Click(3);
  EXPECT_FALSE(E().State().Armed);
  EXPECT_EQ(h.form.PanelText(2), "OFF");
}

TEST_F(MenuCommandsTest, DriverDialogsOpenAfterTheirTraceLine) {
  E().mnuSource_Click();
  E().mnuFormat_Click();
  E().mnuCompress_Click();
  E().mnuAudioFormat_Click();
  EXPECT_EQ(std::vector<std::string>(h.kelvra.calls.end() - 4, h.kelvra.calls.end()),
            (std::vector<std::string>{"ShowSourceDialog", "ShowFormatDialog",
                                      "ShowCompressionDialog", "ShowAudioFormatDialog"}));
  const std::string text = Trace();
  for (const char* line :
       {"Source_Click - Display Source Dialog", "Format_Click - Display Format Dialog",
        "Compress_Click - Display Compress Dialog",
        "AudioFormat_Click - Display Audio Format Dialog"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(MenuCommandsTest, AudioToggleStoresWhatTheControlAccepted) {
  E().mnuAudio_Click();
  EXPECT_TRUE(h.form.Item("mnuAudio").checked);
  EXPECT_EQ(h.store.Value("Audio"), "True");
  E().mnuAudio_Click();
  EXPECT_FALSE(h.form.Item("mnuAudio").checked);
  EXPECT_EQ(h.store.Value("Audio"), "False");
}

TEST_F(MenuCommandsTest, SuspendRefreshToggle) {
  E().mnuSuspendRefresh_Click();
  EXPECT_FALSE(E().State().SuspendRefresh);
  EXPECT_FALSE(h.form.Item("mnuSuspendRefresh").checked);
  EXPECT_EQ(h.store.Value("SuspendRefresh"), "False");
  EXPECT_NE(Trace().find("SupendRefresh_Click - Suspend Refresh changed"), std::string::npos);
}

TEST_F(MenuCommandsTest, StatisticsToggleShowsTheWindowOnlyWhileArmed) {
  E().mnuStat_Click();
  EXPECT_TRUE(h.form.Item("mnuStat").checked);
  EXPECT_FALSE(h.form.statisticsVisible);
  E().StartStop();
  EXPECT_TRUE(h.form.statisticsVisible);
  E().mnuStat_Click();
  EXPECT_FALSE(h.form.statisticsVisible);
  E().mnuStat_Click();
  EXPECT_TRUE(h.form.statisticsVisible);
  EXPECT_FALSE(h.store.Has("Stat"));
}

TEST_F(MenuCommandsTest, WindowsAndHelpCommands) {
  E().mnuConfig_Click();
  E().mnuAbout_Click();
  E().mnuTimer_Click();
  EXPECT_EQ(h.form.shown, (std::vector<std::string>{"Configuration", "frmAbout", "TimerForm"}));
  EXPECT_NE(Trace().find("Display Configuration Dialog"), std::string::npos);
  E().mnuDoc_Click();
  E().mnuOnline_Click();
  ASSERT_EQ(h.system.opened.size(), 2u);
  EXPECT_EQ(h.system.opened[0], (h.folder.Path() / "kelvra.html").string());
  EXPECT_EQ(h.system.opened[1].rfind("https://", 0), 0u);
}

}  // namespace
}  // namespace orvantix::testing
