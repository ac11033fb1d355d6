#include "platform/system/host_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/fakes/engine_harness.h"
#include "tests/platform/scoped_env.h"

namespace platform::system {
namespace {

namespace fs = std::filesystem;
using ScratchFolder = orvantix::testing::TempFolder;
using platform::testing::ScopedEnv;

TEST(HostSystemTest, FreeSpaceInMegabytesOfTheVolume) {
  ScratchFolder temp;
  HostSystem host;
  const double mb = host.FreeSpaceMB(temp.Path().string());
  EXPECT_GT(mb, 0);
  // Others use the disk meanwhile; the unit is what matters.
  const double expected = static_cast<double>(fs::space(temp.Path()).available) / 1024 / 1024;
  EXPECT_NEAR(mb, expected, 64 + expected * 0.01);
}

TEST(HostSystemTest, NoFreeSpaceWhenThePathCannotBeQueried) {
  ScratchFolder temp;
  HostSystem host;
  EXPECT_EQ(host.FreeSpaceMB((temp.Path() / "missing").string()), 0);
  EXPECT_EQ(host.FreeSpaceMB(""), 0);
}

TEST(HostSystemTest, SystemFolderIsTheSaverFolder) {
  ScopedEnv savers("ORVANTIX_SAVER_DIR", "/srv/savers");
  EXPECT_EQ(HostSystem().SystemFolder(), "/srv/savers/");
}

// An opener script that writes its first argument into a FIFO the test
// holds open, so the test can wait for it without sleeping.
class ShellOpenTest : public ::testing::Test {
 protected:
  ScratchFolder temp;
  fs::path fifo = temp.Path() / "args";
  fs::path opener = temp.Path() / "opener";
  int reader = -1;

  void SetUp() override {
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Open before the opener runs, so that its open never blocks.
    reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" > '" << fifo.string() << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
  }
  void TearDown() override {
    if (reader >= 0) ::close(reader);
  }

  // The line the opener wrote, or "<timeout>". Between two writers the
  // FIFO reports hang-up at once, so the wait is bounded by a deadline.
  std::string ReceivedArgument() {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    std::string text;
    char buffer[256];
    while (text.empty() || text.back() != '\n') {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      pollfd p{reader, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return "<timeout>";
      const ssize_t n = ::read(reader, buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
    }
    text.pop_back();
    return text;
  }
};

TEST_F(ShellOpenTest, PassesTheTargetAsOneArgument) {
  struct Case {
    std::string target;
    std::string received;
  };
  for (const Case& c : {Case{"/videos/My Recording 1.avi", "/videos/My Recording 1.avi"},
                        Case{"http://host/page?a=1&b=$HOME;x", "http://host/page?a=1&b=$HOME;x"},
                        Case{"it's \"quoted\"", "it's \"quoted\""}, Case{"-rf", "./-rf"}}) {
    HostSystem host(opener.string());
    ASSERT_TRUE(host.ShellOpen(c.target)) << c.target;
    EXPECT_EQ(ReceivedArgument(), c.received);
  }
}

TEST_F(ShellOpenTest, FailsWithoutATargetOrAnOpener) {
  EXPECT_FALSE(HostSystem(opener.string()).ShellOpen(""));
  EXPECT_FALSE(HostSystem((temp.Path() / "no-such-opener").string()).ShellOpen("/x"));
}

}  // namespace
}  // namespace platform::system
