#include "platform/system/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "tests/fakes/engine_harness.h"
#include "tests/platform/scoped_env.h"

namespace platform::system {
namespace {

namespace fs = std::filesystem;
using ScratchFolder = orvantix::testing::TempFolder;
using platform::testing::ScopedEnv;
using Env = std::optional<std::string>;

struct TempFolderCase {
  Env temp;
  Env tmpdir;
  std::string expected;
};

class TempFolderTest : public ::testing::TestWithParam<TempFolderCase> {};

TEST_P(TempFolderTest, TempThenTmpdirThenTmp) {
  ScopedEnv temp("TEMP", GetParam().temp);
  ScopedEnv tmpdir("TMPDIR", GetParam().tmpdir);
  EXPECT_EQ(TempFolder(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TempFolderTest,
                         ::testing::Values(TempFolderCase{"/t/temp", "/t/tmpdir", "/t/temp/"},
                                           TempFolderCase{"/t/temp/", std::nullopt, "/t/temp/"},
                                           TempFolderCase{std::nullopt, "/t/tmpdir", "/t/tmpdir/"},
                                           TempFolderCase{"", "/t/tmpdir/", "/t/tmpdir/"},
                                           TempFolderCase{std::nullopt, std::nullopt, "/tmp/"},
                                           TempFolderCase{"", "", "/tmp/"}));

TEST(ProgramDataFolderTest, OverrideThenSourceTreeForABuildNotInstalled) {
  {
    ScopedEnv data("ORVANTIX_DATA_DIR", "/opt/orvantix/data");
    EXPECT_EQ(ProgramDataFolder(), "/opt/orvantix/data/");
  }
  ScopedEnv data("ORVANTIX_DATA_DIR", "");
  EXPECT_EQ(ProgramDataFolder(), std::string(ORVANTA_SOURCE_DIR) + "/data/");
}

TEST(SystemFolderTest, OverrideElseSaversOfTheDataFolder) {
  {
    ScopedEnv savers("ORVANTIX_SAVER_DIR", "/usr/lib/savers");
    EXPECT_EQ(SystemFolder(), "/usr/lib/savers/");
  }
  ScopedEnv savers("ORVANTIX_SAVER_DIR", std::nullopt);
  ScopedEnv data("ORVANTIX_DATA_DIR", "/opt/orvantix/data/");
  EXPECT_EQ(SystemFolder(), "/opt/orvantix/data/savers/");
}

// A home folder of its own and an empty config folder, so that the videos
// folder is the default one under HOME unless the case writes user-dirs.dirs.
class DefaultVideoFolderTest : public ::testing::Test {
 protected:
  ScratchFolder temp;
  fs::path home = temp.Path() / "home";
  fs::path config = temp.Path() / "config";
  ScopedEnv homeEnv{"HOME", home.string()};
  ScopedEnv configEnv{"XDG_CONFIG_HOME", config.string()};

  void SetUp() override {
    fs::create_directories(home);
    fs::create_directories(config);
  }
};

TEST_F(DefaultVideoFolderTest, VideosFolderWhenItExists) {
  fs::create_directory(home / "Videos");
  EXPECT_EQ(DefaultVideoFolder(), (home / "Videos").string() + "/");
}

TEST_F(DefaultVideoFolderTest, HomeWhenThereIsNoVideosFolder) {
  EXPECT_EQ(DefaultVideoFolder(), home.string() + "/");
}

TEST_F(DefaultVideoFolderTest, FolderNamedInUserDirs) {
  fs::create_directory(home / "Filme");
  std::ofstream(config / "user-dirs.dirs") << "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n";
  EXPECT_EQ(DefaultVideoFolder(), (home / "Filme").string() + "/");
}

TEST_F(DefaultVideoFolderTest, HomeWhenTheVideosFolderIsReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  fs::create_directory(home / "Videos");
  ::chmod((home / "Videos").c_str(), 0500);
  EXPECT_EQ(DefaultVideoFolder(), home.string() + "/");
  ::chmod((home / "Videos").c_str(), 0700);
}

TEST_F(DefaultVideoFolderTest, ResultIsAWritableFolderEndingWithSlash) {
  for (bool withVideos : {false, true}) {
    if (withVideos) fs::create_directory(home / "Videos");
    const std::string folder = DefaultVideoFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
    EXPECT_EQ(::access(folder.c_str(), W_OK), 0) << folder;
  }
}

}  // namespace
}  // namespace platform::system
