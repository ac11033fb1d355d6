// The real program, offscreen, watching the virtual camera: a scripted
// motion must give one complete recording, its log row and its trace.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/e2e/e2e_support.h"
#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(WatchEndToEnd, ScriptedMotionRecordsOneLoggedAvi) {
  TempFolder home;
  const fs::path config = home.Path() / "config";
  const fs::path data = home.Path() / "data";
  const fs::path videos = home.Path() / "videos";
  const fs::path temp = home.Path() / "tmp";
  for (const fs::path& p : {config / "Orvantix", data, videos, temp}) fs::create_directories(p);
  // Ten seconds after the end of activity; base refresh never gets in the way.
  WriteFile(config / "Orvantix" / "Orvantix.ini",
            "[CONFIG]\nVidPath=" + videos.string() + "/\nRecStop=1\nTimeType=1\nNewBase=7\n");

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("ORVANTIX_VIRTUAL_CAMERA", "scene:12,3");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.string()));
  env.insert("XDG_DATA_HOME", QString::fromStdString(data.string()));
  env.insert("TEMP", QString::fromStdString(temp.string()));
  env.insert("LC_ALL", "C");
  env.insert("ORVANTIX_DATA_DIR", ORVANTA_SOURCE_DIR "/data");

  QProcess program;
  program.setProcessEnvironment(env);
  program.setProcessChannelMode(QProcess::ForwardedChannels);
  program.start(ORVANTA_BINARY_DIR "/app/orvantix", {"/START", "/DEBUG"});
  ASSERT_TRUE(program.waitForStarted(10000));

  const fs::path log = data / "Orvantix" / "kelvralog.html";
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (std::chrono::steady_clock::now() < deadline &&
         ReadFile(log).find(">Play</A>") == std::string::npos &&
         program.state() == QProcess::Running)
    std::this_thread::sleep_for(250ms);
  ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(15000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  std::vector<fs::path> recordings;
  for (const auto& entry : fs::directory_iterator(videos))
    if (entry.path().extension() == ".avi") recordings.push_back(entry.path());
  ASSERT_EQ(recordings.size(), 1u);
  // "12/11/26 14:03:07" in the C locale gives 121126-140307.avi.
  EXPECT_TRUE(
      std::regex_match(recordings[0].filename().string(), std::regex(R"(\d{6}-\d{6}\.avi)")))
      << recordings[0];

  const MediaInfo info = Discover(recordings[0]);
  ASSERT_TRUE(info.ok) << info.raw;
  EXPECT_EQ(info.width, 640);
  EXPECT_EQ(info.height, 480);
  // Three seconds of motion and ten after it, give or take a tick and the
  // frames around the edges.
  EXPECT_NEAR(info.seconds, 13.0, 2.0) << info.raw;

  const std::string row = ReadFile(log);
  EXPECT_NE(row.find(recordings[0].filename().string()), std::string::npos);
  EXPECT_NE(row.find("<TD ALIGN=RIGHT> 4%</TD>"), std::string::npos);

  // The signal closed the window the normal way: the position was stored.
  EXPECT_NE(ReadFile(config / "Orvantix" / "Orvantix.ini").find("PosLeft=1000"), std::string::npos);

  const std::string trace = ReadFile(temp / "KelvraDebug.dat");
  for (const char* line :
       {" - Init - Orvanta V1.0\r\n", " - Start - Step 3\r\n", " - Frame_Handler - Step 4\r\n",
        " - Frame_Handler - Initiate Start\r\n", " - Frame_Handler - Set outfile\r\n",
        " - Timer_2 - Step 4\r\n", " - Frame_Handler - Initiate Stop (variable recording time)\r\n",
        " - Timer_1 - Countdown ending period\r\n", " - Suspend - Step 4\r\n",
        " - Stream_Callback - Begin\r\n", " - Frame_Callback - End\r\n", " - Stop - Step 3\r\n",
        " - End - Unload completed\r\n"})
    EXPECT_NE(trace.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace orvantix::testing
