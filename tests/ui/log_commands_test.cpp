#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPage = "<HTML>\r\n<TABLE>\r\n<!--DATA-->\r\n</TABLE>\r\n</HTML>\r\n";

class LogCommandsTest : public ::testing::Test {
 protected:
  EngineHarness h;
  void SetUp() override {
    std::ofstream(h.folder.Path() / "kelvradft.html", std::ios::binary) << kPage;
    h.kelvra.names[1] = "Hall <north>";
    h.Start().Form_Load();
  }
  Engine& E() { return *h.engine; }
  fs::path LogPath() const { return h.folder.Path() / "kelvralog.html"; }
  std::string Log() const { return h.ReadFile(LogPath()); }
};

TEST_F(LogCommandsTest, RowNamesTheCameraInUseAndTheCurrentSensitivity) {
  E().mnuDevice_Click(3);
  E().mnuSensitivity_Click(1);
  E().AddLogEntry("start", "end", "/v/a.avi");
  EXPECT_NE(Log().find("<TD ALIGN=LEFT>Hall &lt;north&gt;</TD><TD ALIGN=RIGHT> 1.2%</TD>"),
            std::string::npos)
      << Log();
}

TEST_F(LogCommandsTest, WithoutTheDevicesMenuEntryNothingIsLogged) {
  h.kelvra.driverIndex = 5;  // no entry 7 in the device menu
  E().AddLogEntry("start", "end", "/v/a.avi");
  E().AddLogEntry("now", "Mail sent to a@b.example", "");
  EXPECT_EQ(Log(), kPage);
}

TEST_F(LogCommandsTest, ShowLogOpensTheLogByItsAbsolutePath) {
  E().mnuLogShow_Click();
  ASSERT_EQ(h.system.opened.size(), 1u);
  EXPECT_EQ(fs::path(h.system.opened[0]), fs::absolute(LogPath()));
  EXPECT_TRUE(fs::path(h.system.opened[0]).is_absolute());
}

TEST_F(LogCommandsTest, ClearAsksFirstAndNoLeavesTheLogByteForByte) {
  E().AddLogEntry("start", "end", "/v/a.avi");
  const std::string before = Log();
  ASSERT_NE(before, kPage);

  h.form.answers.push_back(MsgBoxResult::kNo);
  E().mnuLogClear_Click();
  ASSERT_EQ(h.form.messages.size(), 1u);
  EXPECT_EQ(h.form.messages[0].first, "Do you really want to clear the entire log ?");
  EXPECT_EQ(h.form.messages[0].second, MsgBoxStyle::kQuestionYesNo);
  EXPECT_EQ(Log(), before);

  h.form.answers.push_back(MsgBoxResult::kYes);
  E().mnuLogClear_Click();
  EXPECT_EQ(Log(), kPage);
}

}  // namespace
}  // namespace orvantix::testing
