#include <gtest/gtest.h>

#include <filesystem>

#include "app/engine/password.h"
#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

class StartupTest : public ::testing::Test {
 protected:
  EngineHarness h;
  Engine& Load(const std::string& commandLine = "") {
    Engine& e = h.Start(commandLine);
    e.Form_Load();
    return e;
  }
};

TEST_F(StartupTest, FirstRunWithEmptyStoreUsesTheDefaults) {
  Engine& e = Load();
  const EngineState& s = e.State();
  EXPECT_EQ(h.form.caption, "Orvanta V1.0");
  EXPECT_EQ(h.form.PanelText(2), "OFF");
  EXPECT_FLOAT_EQ(s.Threshold, 4.0f);
  EXPECT_EQ(s.RecordSeconds, 30);
  EXPECT_EQ(s.TimeType, 1);
  EXPECT_EQ(s.RefreshSeconds, 60);
  EXPECT_TRUE(s.SuspendRefresh);
  EXPECT_EQ(h.form.CheckedEntries("mnuSensitivity"), std::vector<int>{3});
  EXPECT_EQ(h.form.CheckedEntries("mnuRec"), std::vector<int>{3});
  EXPECT_EQ(h.form.CheckedEntries("mnuTimeType"), std::vector<int>{1});
  EXPECT_EQ(h.form.CheckedEntries("mnuRefresh"), std::vector<int>{2});
  EXPECT_TRUE(h.form.Item("mnuSuspendRefresh").checked);
  EXPECT_FALSE(h.form.Item("mnuStat").checked);
  EXPECT_EQ(h.form.window.left, 1000);
  EXPECT_EQ(h.form.window.top, 1000);
  EXPECT_EQ(h.form.window.width, 7950);
  EXPECT_EQ(h.form.window.height, 5805);
  EXPECT_EQ(h.form.timer1.interval, 250);
  EXPECT_FALSE(h.form.timer1.enabled);
  EXPECT_FALSE(s.Armed);
  EXPECT_EQ(s.LowSpace, 20);
  EXPECT_EQ(s.Notify, 1);
  EXPECT_EQ(s.APM, 0);
  EXPECT_EQ(s.SAVER, "");
  EXPECT_EQ(s.RemotePW, "");
  EXPECT_TRUE(h.form.statisticsLoaded);
  EXPECT_FALSE(h.form.statisticsVisible);
  EXPECT_EQ(h.kelvra.frameRate, 5);
  EXPECT_EQ(h.kelvra.driverIndex, 0);

  e.Form_Unload();
  const std::pair<const char*, const char*> stored[] = {
      {"Sensitivity", "3"}, {"RecStop", "3"},     {"TimeType", "1"},
      {"NewBase", "2"},     {"Camera", "2"},      {"PosLeft", "1000"},
      {"PosTop", "1000"},   {"PosWidth", "7950"}, {"PosHeight", "5805"},
  };
  for (const auto& [key, value] : stored) EXPECT_EQ(h.store.Value(key), value) << key;
}

TEST_F(StartupTest, WritesTheFixedCaptureOptionsAndFrameRate) {
  h.store.SaveSetting("Orvantix", "CONFIG", "capturefps", "12");
  Load();
  const std::vector<std::string> options(h.kelvra.calls.begin() + 1, h.kelvra.calls.begin() + 10);
  EXPECT_EQ(options, (std::vector<std::string>{"Option 1=0", "Option 2=0", "Option 3=0",
                                               "Option 4=1", "Option 5=1", "Option 6=0",
                                               "Option 7=0", "Option 8=0", "Option 9=100"}));
  EXPECT_EQ(h.kelvra.frameRate, 12);
}

TEST_F(StartupTest, UnusableFrameRateFallsBackToFive) {
  for (const char* stored : {"0", "-3", "fast"}) {
    h.store.SaveSetting("Orvantix", "CONFIG", "CaptureFPS", stored);
    h.form = FakeForm();
    Load();
    EXPECT_EQ(h.kelvra.frameRate, 5) << stored;
  }
}

TEST_F(StartupTest, StoredSettingsAreFoundWhateverTheirLetterCase) {
  h.store.SaveSetting("Orvantix", "CONFIG", "sensitivity", "1");
  h.store.SaveSetting("Orvantix", "CONFIG", "Saver", "Stars");
  h.store.SaveSetting("Orvantix", "CONFIG", "LOWSPACE", "35.5");
  Load();
  EXPECT_FLOAT_EQ(h.engine->State().Threshold, 1.2f);
  EXPECT_EQ(h.engine->State().SAVER, "Stars");
  EXPECT_EQ(h.engine->State().LowSpace, 36);
}

TEST_F(StartupTest, DevicesAtIndexesZeroAndTwoGiveEntriesTwoAndFour) {
  h.kelvra.names = {};
  h.kelvra.names[0] = "Front door";
  h.kelvra.names[2] = "Garage";
  h.store.SaveSetting("Orvantix", "CONFIG", "Camera", "4");
  Load();
  EXPECT_EQ(h.engine->State().DeviceCount, 2);
  EXPECT_EQ(h.form.Item("mnuDevice(2)").caption, "Front door");
  EXPECT_EQ(h.form.Item("mnuDevice(4)").caption, "Garage");
  EXPECT_FALSE(h.form.HasMenuArrayEntry("mnuDevice", 3));
  EXPECT_FALSE(h.form.Item("mnuDevice(1)").visible);
  EXPECT_EQ(h.kelvra.driverIndex, 2);
  EXPECT_EQ(h.form.CheckedEntries("mnuDevice"), std::vector<int>{4});
  EXPECT_TRUE(h.form.Item("mnuStartStop").enabled);
}

TEST_F(StartupTest, NoDriverOrNoHwLeavesOnlyTheDisabledPlaceholder) {
  struct Case {
    bool noDrivers;
    const char* commandLine;
  };
  for (const Case c : {Case{true, "/START"}, Case{false, "/nohw /start"}}) {
    EngineHarness fresh;
    if (c.noDrivers) fresh.kelvra.names = {};
    fresh.Start(c.commandLine).Form_Load();
    EXPECT_TRUE(fresh.form.Item("mnuDevice(1)").visible) << c.commandLine;
    EXPECT_FALSE(fresh.form.Item("mnuDevice(1)").enabled);
    EXPECT_EQ(fresh.form.MenuArrayUBound("mnuDevice"), 1);
    for (const char* name : {"mnuSource", "mnuFormat", "mnuCompress", "mnuStartStop"})
      EXPECT_FALSE(fresh.form.Item(name).enabled) << name;
    EXPECT_FALSE(fresh.engine->State().Armed);
    EXPECT_EQ(fresh.form.PanelText(2), "OFF");
  }
}

TEST_F(StartupTest, SoundFollowsTheControlsAbility) {
  struct Case {
    bool hasAudio;
    const char* stored;
    bool captured;
  };
  for (const Case c :
       {Case{false, "True", false}, Case{true, "True", true}, Case{true, "False", false}}) {
    EngineHarness fresh;
    fresh.kelvra.hasAudio = c.hasAudio;
    fresh.store.SaveSetting("Orvantix", "CONFIG", "Audio", c.stored);
    fresh.Start().Form_Load();
    EXPECT_EQ(fresh.kelvra.captureAudio, c.captured);
    EXPECT_EQ(fresh.form.Item("mnuAudio").checked, c.captured);
    EXPECT_EQ(fresh.form.Item("mnuAudio").visible, c.hasAudio);
    EXPECT_EQ(fresh.form.Item("mnuAudioFormat").visible, c.hasAudio);
  }
}

TEST_F(StartupTest, NoOverlayShowsItsNote) {
  Load("/nooverlay");
  EXPECT_TRUE(h.engine->State().NoOverlay);
  EXPECT_EQ(h.form.PanelText(5), "Overlay disabled");
}

TEST_F(StartupTest, VidPathAlwaysEndsWithASlash) {
  h.store.SaveSetting("Orvantix", "CONFIG", "VidPath", "/srv/watch");
  Load();
  EXPECT_EQ(h.engine->State().VidPath, "/srv/watch/");
}

TEST_F(StartupTest, RemotePasswordIsDecoded) {
  h.store.SaveSetting("Orvantix", "CONFIG", "RemotePW", EncodePassword("Secret42"));
  Load();
  EXPECT_EQ(h.engine->State().RemotePW, "Secret42");
}

TEST_F(StartupTest, UnloadStoresThePlacementWithoutDrift) {
  h.store.SaveSetting("Orvantix", "CONFIG", "PosLeft", "1234");
  h.store.SaveSetting("Orvantix", "CONFIG", "PosWidth", "9000");
  Load();
  h.form.window.top = 2000;  // moved by the user
  h.engine->Form_Unload();
  EXPECT_EQ(h.store.Value("PosLeft"), "1234");
  EXPECT_EQ(h.store.Value("PosTop"), "2000");
  EXPECT_EQ(h.store.Value("PosWidth"), "9000");
  EXPECT_FALSE(h.form.statisticsLoaded);
}

TEST_F(StartupTest, StartSwitchArmsTheWatch) {
  Load("/start");
  EXPECT_TRUE(h.engine->State().Armed);
  EXPECT_EQ(h.form.PanelText(2), "STANDBY");
}

TEST_F(StartupTest, ClosingWhileRecordingEndsTheRecordingBeforeStoringPosition) {
  Load("/start /nomail");
  h.engine->State().ForceRecord = true;
  std::vector<std::uint8_t> frame(3000, 7);
  h.kelvra.DeliverFrame(frame);
  h.engine->Timer2_Timer();
  ASSERT_TRUE(h.kelvra.capturing);
  h.engine->Form_Unload();
  EXPECT_FALSE(h.kelvra.capturing);
  EXPECT_FALSE(h.engine->State().Armed);
  EXPECT_EQ(h.form.PanelText(2), "OFF");
  EXPECT_EQ(h.store.Value("PosLeft"), "1000");
}

class TraceFileTest : public StartupTest {
 protected:
  std::string Trace() const { return h.ReadFile(h.TracePath()); }
};

TEST_F(TraceFileTest, DebugSwitchInAnyCaseOrEmbeddedTurnsTracingOn) {
  for (const char* line : {"/DEBUG", "/debug", "x/DeBuGy", "/START/DEBUG"}) {
    EngineHarness fresh;
    fresh.Start(line).Form_Load();
    EXPECT_TRUE(fresh.engine->State().DebugMode) << line;
    EXPECT_EQ(fresh.form.caption, "Orvanta V1.0  D E B U G");
    EXPECT_TRUE(std::filesystem::exists(fresh.TracePath()));
  }
}

TEST_F(TraceFileTest, WithoutDebugTheFileIsNotTouched) {
  Load();
  h.engine->Form_Unload();
  EXPECT_FALSE(std::filesystem::exists(h.TracePath()));
}

TEST_F(TraceFileTest, TwoRunsAppendAndEachStartsWithTheCaption) {
  for (int run = 0; run < 2; ++run) {
    h.form = FakeForm();
    Load("/DEBUG");
    h.engine->Form_Unload();
  }
  const std::string text = Trace();
  const std::string first = " - Init - Orvanta V1.0\r\n";
  const auto at = text.find(first);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(text.find(first, at + 1), std::string::npos);
  const std::string end = " - End - Unload completed\r\n";
  EXPECT_NE(text.find(end, text.find(end) + 1), std::string::npos);
}

TEST_F(TraceFileTest, StartUpStepsAppearInOrder) {
  h.store.SaveSetting("Orvantix", "CONFIG", "RemotePW", EncodePassword("abc"));
  Load("/DEBUG");
  h.engine->Form_Unload();
  const std::string text = Trace();
  std::size_t at = 0;
  for (const char* step :
       {"Init - Orvanta V1.0\r\n", "Init - Hardware detected: Test camera\r\n",
        "Device_Click - Select device 0\r\n", "Device_Click - Device selected\r\n",
        "Sensitivity_Click - Change sensitivity\r\n", "Refresh_Click - Refresh Time changed\r\n",
        "Init - Telnet Init Begin\r\n", "Init - Telnet Bind/Listen\r\n",
        "Init - Position Window\r\n", "Resize - Perform\r\n", "End - Unload completed\r\n"}) {
    const auto found = text.find(step, at);
    ASSERT_NE(found, std::string::npos) << step;
    at = found;
  }
}

TEST_F(TraceFileTest, NoRemoteOrNoPasswordSkipsTheListener) {
  h.store.SaveSetting("Orvantix", "CONFIG", "RemotePW", EncodePassword("abc"));
  Load("/DEBUG /NOREMOTE");
  h.engine->Form_Unload();
  EXPECT_EQ(Trace().find("Telnet Bind/Listen"), std::string::npos);
  EXPECT_NE(Trace().find("Telnet Init Begin"), std::string::npos);
}

TEST_F(TraceFileTest, UnwritableTraceFileLeavesTheProgramRunning) {
  EngineOptions options;
  options.traceFilePath = (h.folder.Path() / "missing" / "KelvraDebug.dat").string();
  Engine e(h.form, h.kelvra, h.store, h.clock, h.system, Switches::Parse("/DEBUG"), options);
  e.Form_Load();
  EXPECT_EQ(h.form.PanelText(2), "OFF");
  e.Form_Unload();
}

}  // namespace
}  // namespace orvantix::testing
