#include "app/ui/forms/form1.h"

#include <gtest/gtest.h>

#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <memory>

#include "app/ui/forms/about_form.h"
#include "platform/window/message_window.h"
#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

class Form1Test : public ::testing::Test {
 protected:
  TempFolder folder;
  FakeCapture kelvra;
  MemorySettings store;
  FakeSystem system;
  FakeClock clock;
  std::unique_ptr<Form1> form;

  void Open(const std::string& commandLine = "") {
    EngineOptions options;
    options.traceFilePath = (folder.Path() / "KelvraDebug.dat").string();
    options.defaultVidPath = folder.Path().string() + "/";
    options.logFolder = folder.Path().string();
    form = std::make_unique<Form1>(kelvra, new QWidget, store, system, Switches::Parse(commandLine),
                                   options, clock);
    form->Load();
  }

  // One line per menu entry: indentation by level, caption, name and flags
  // (S sub-menu, - separator, C check item, R radio entry, D disabled).
  static void Describe(const QList<QAction*>& actions, int level, std::vector<std::string>& out) {
    for (QAction* a : actions) {
      std::string flags;
      if (a->menu()) flags += "S";
      if (a->isSeparator()) flags += "-";
      if (a->isCheckable()) flags += a->actionGroup() ? "R" : "C";
      if (!a->isEnabled()) flags += "D";
      const std::string name =
          a->menu() ? a->menu()->objectName().toStdString() : a->objectName().toStdString();
      out.push_back(std::string(level * 2, ' ') +
                    (a->isSeparator() ? "-" : a->text().toStdString()) + " " + name +
                    (flags.empty() ? "" : " " + flags));
      if (a->menu()) Describe(a->menu()->actions(), level + 1, out);
    }
  }
};

TEST_F(Form1Test, MenuTreeIsBuiltExactly) {
  kelvra.names = {};
  kelvra.hasAudio = true;
  Open();
  std::vector<std::string> tree;
  Describe(form->menuBar()->actions(), 0, tree);
  const std::vector<std::string> expected = {
      "&Start/Stop mnuStartStop SD",  // no driver here: Start/Stop disabled
      "  &Start mnuStart",
      "  Start in &30 seconds mnuTimer",
      "Sus&pend mnuSuspend D",
      "Se&ttings mnuSettings S",
      "  Video &Device mnuDeviceMain S",
      "    (none) mnuDevice(1) RD",
      "  Video &Source mnuSource D",
      "  Video &Format mnuFormat D",
      "  Video &Compression mnuCompress D",
      "  - mnuDiv5 -",
      "  &Capture &Audio mnuAudio C",
      "  Audio F&ormat mnuAudioFormat",
      "  - mnuDiv1 -",
      "  &Sensitivity mnuSensitivityMain S",
      "    &Very high mnuSensitivity(1) R",
      "    &High mnuSensitivity(2) R",
      "    &Medium mnuSensitivity(3) R",
      "    &Low mnuSensitivity(4) R",
      "    V&ery low mnuSensitivity(5) R",
      "  &Stop recording after... mnuRecordingMain S",
      "    ...end of activity plus... mnuTimeType(1) R",
      "    ...a &fixed time of... mnuTimeType(2) R",
      "    - mnuDiv10 -",
      "    10 seconds mnuRec(1) R",
      "    20 seconds mnuRec(2) R",
      "    30 seconds mnuRec(3) R",
      "    1 minute mnuRec(4) R",
      "    2 minutes mnuRec(5) R",
      "    5 minutes mnuRec(6) R",
      "  &Refresh base image every... mnuRefreshBase S",
      "    30 seconds mnuRefresh(1) R",
      "    1 minute mnuRefresh(2) R",
      "    5 minutes mnuRefresh(3) R",
      "    10 minutes mnuRefresh(4) R",
      "    30 minutes mnuRefresh(5) R",
      "    1 hour mnuRefresh(6) R",
      "    Never mnuRefresh(7) R",
      "    - mnuDiv9 -",
      "    &No refresh when recording mnuSuspendRefresh C",
      "  - mnuDiv8 -",
      "  Show Video &Statistics mnuStat C",
      "  - mnuDiv4 -",
      "  &Configuration mnuConfig",
      "&Log mnuLog S",
      "  &Show log mnuLogShow",
      "  &Clear log mnuLogClear",
      "&? mnuHelpMain S",
      "  &Documentation mnuDoc",
      "  &Online Information mnuOnline",
      "  - mnuDiv6 -",
      "  &About mnuAbout",
  };
  EXPECT_EQ(tree, expected);
}

TEST_F(Form1Test, OwnsAMessageWindowForItsLifetime) {
  Open();
  const auto hwnd = form->Hwnd();
  EXPECT_TRUE(platform::window::IsWindow(hwnd));
  form.reset();
  EXPECT_FALSE(platform::window::IsWindow(hwnd));
  EXPECT_EQ(kelvra.sink, nullptr);
}

TEST_F(Form1Test, AudioItemsAreHiddenWithoutASoundInput) {
  Open();
  EXPECT_FALSE(form->findChild<QAction*>("mnuAudio")->isVisible());
  EXPECT_FALSE(form->findChild<QAction*>("mnuAudioFormat")->isVisible());
}

TEST_F(Form1Test, StatusBarHasFivePanelsWithTheirToolTips) {
  Open();
  const char* tips[] = {"Current image deviation in %", "System status",
                        "Time for next base image refresh", "Time to stop current recording",
                        "Timestamp when recording started"};
  for (int panel = 1; panel <= 5; ++panel)
    EXPECT_EQ(form->Panel(panel)->toolTip().toStdString(), tips[panel - 1]);
  EXPECT_EQ(form->PanelText(2), "OFF");
  EXPECT_EQ(form->windowTitle().toStdString(), "Orvanta V1.0");
}

TEST_F(Form1Test, DevicesBecomeRadioEntriesInDriverOrder) {
  kelvra.names = {};
  kelvra.names[0] = "Cam A";
  kelvra.names[2] = "Cam C";
  store.SaveSetting("Orvantix", "CONFIG", "Camera", "4");
  Open();
  auto* menu = form->findChild<QMenu*>("mnuDeviceMain");
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> entries;
  for (QAction* a : menu->actions())
    if (a->isVisible()) entries.push_back(a->text().toStdString() + (a->isChecked() ? "*" : ""));
  EXPECT_EQ(entries, (std::vector<std::string>{"Cam A", "Cam C*"}));
  EXPECT_TRUE(form->findChild<QAction*>("mnuStartStop") == nullptr ||
              form->Menu("mnuStartStop").Enabled());

  // A click goes through the engine, which owns the check marks.
  form->findChild<QAction*>("mnuDevice(2)")->trigger();
  EXPECT_EQ(kelvra.driverIndex, 0);
  EXPECT_TRUE(form->findChild<QAction*>("mnuDevice(2)")->isChecked());
  EXPECT_FALSE(form->findChild<QAction*>("mnuDevice(4)")->isChecked());
  EXPECT_EQ(store.Value("Camera"), "2");
}

TEST_F(Form1Test, CheckItemsToggleOncePerClick) {
  Open();
  auto* item = form->findChild<QAction*>("mnuSuspendRefresh");
  ASSERT_TRUE(item->isChecked());
  item->trigger();
  EXPECT_FALSE(item->isChecked());
  EXPECT_EQ(store.Value("SuspendRefresh"), "False");
  auto* radio = form->findChild<QAction*>("mnuRec(5)");
  radio->trigger();
  EXPECT_TRUE(radio->isChecked());
  EXPECT_FALSE(form->findChild<QAction*>("mnuRec(3)")->isChecked());
  EXPECT_EQ(form->engine().State().RecordSeconds, 120);
}

TEST_F(Form1Test, WindowIsPlacedFromTheStoreAndStoresItselfWithoutDrift) {
  Open();
  const Rect placed = form->WindowRect();
  EXPECT_EQ(placed.left, 1000);
  EXPECT_EQ(placed.top, 1000);
  EXPECT_EQ(placed.width, 7950);
  EXPECT_EQ(placed.height, 5805);
  form->close();
  EXPECT_EQ(store.Value("PosLeft"), "1000");
  EXPECT_EQ(store.Value("PosHeight"), "5805");
}

TEST_F(Form1Test, LayoutKeepsTheMarginsAndNeverGoesNegative) {
  Open();
  form->show();
  QApplication::processEvents();
  const QRect picture = form->Kelvra()->geometry();
  EXPECT_EQ(picture.topLeft(), QPoint(8, 8));
  EXPECT_EQ(form->PicFrame()->width() - picture.width(), 16);
  EXPECT_EQ(form->PicFrame()->height() - picture.height(), 16);

  form->resize(form->width() + 100, form->height() + 50);
  QApplication::processEvents();
  EXPECT_EQ(form->PicFrame()->width() - form->Kelvra()->width(), 16);
  EXPECT_EQ(form->Kelvra()->width(), picture.width() + 100);
  EXPECT_EQ(form->Kelvra()->height(), picture.height() + 50);

  form->SetWindowRect(Rect{1000, 1000, 150, 150});
  QApplication::processEvents();
  EXPECT_GE(form->Kelvra()->width(), 0);
  EXPECT_GE(form->Kelvra()->height(), 0);
  EXPECT_GE(form->PicFrame()->width(), 0);
  form->SetWindowRect(Rect{1000, 1000, 7950, 5805});
  QApplication::processEvents();
  EXPECT_EQ(form->Kelvra()->size(), picture.size());
}

TEST_F(Form1Test, AboutBoxShowsTitleAndRevision) {
  FrmAbout about;
  EXPECT_EQ(about.windowTitle().toStdString(), "About");
  EXPECT_EQ(about.lblTitle->text().toStdString(), "Orvanta");
  EXPECT_EQ(about.lblVersion->text().toStdString(), "Revision 1.0.18");
  EXPECT_EQ(FrmAbout::RevisionText(1, 0, 18).toStdString(), "Revision 1.0.18");
  EXPECT_TRUE(about.cmdOK->isDefault());
  EXPECT_EQ(about.cmdOK->text().toStdString(), "OK");
  QTimer::singleShot(0, about.cmdOK, &QPushButton::click);
  EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST_F(Form1Test, ConfigurationAndStatisticsWindowsCarryTheirNames) {
  Open();
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "Configuration" && w->isVisible()) static_cast<QDialog*>(w)->reject();
  });
  form->engine().mnuConfig_Click();
  form->engine().StartStop();
  form->engine().mnuStat_Click();
  auto* statistics = form->findChild<QWidget*>("Statistics");
  ASSERT_NE(statistics, nullptr);
  EXPECT_TRUE(statistics->isVisible());
  EXPECT_EQ(statistics->windowTitle().toStdString(), "Statistics");
}

}  // namespace
}  // namespace orvantix::testing

namespace orvantix::testing {
namespace {

TEST_F(Form1Test, CountdownWindowCancelLeavesTheWatchOff) {
  Open();
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != "TimerForm" || !w->isVisible()) continue;
      EXPECT_EQ(w->windowTitle().toStdString(), "Timer");
      EXPECT_EQ(w->findChild<QLabel*>("Label2")->text().toStdString(), "30 seconds");
      EXPECT_EQ(w->findChild<QPushButton*>("Command1")->text().toStdString(), "&Cancel");
      w->findChild<QPushButton*>("Command1")->click();
    }
  });
  form->engine().mnuTimer_Click();
  EXPECT_FALSE(form->engine().State().Armed);
}

}  // namespace
}  // namespace orvantix::testing
