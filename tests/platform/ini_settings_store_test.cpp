#include "platform/settings/ini_settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "tests/fakes/engine_harness.h"
#include "tests/platform/scoped_env.h"

namespace platform::settings {
namespace {

namespace fs = std::filesystem;
using orvantix::testing::TempFolder;
using platform::testing::ScopedEnv;

constexpr const char* kApp = "Orvantix";
constexpr const char* kSection = "CONFIG";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

mode_t ModeOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

class IniSettingsStoreTest : public ::testing::Test {
 protected:
  TempFolder temp;
  fs::path file = temp.Path() / "Orvantix" / "Orvantix.ini";
};

TEST_F(IniSettingsStoreTest, MissingFileReadsAsEmpty) {
  IniSettingsStore store(file);
  EXPECT_EQ(store.GetSetting(kApp, kSection, "Camera", "2"), "2");
  EXPECT_FALSE(fs::exists(file)) << "reading alone must not create the file";
}

TEST_F(IniSettingsStoreTest, ValuesReadBackByteForByte) {
  const std::vector<std::string> values = {
      "",
      "plain",
      "C:\\",
      "/home/user/Videos/",
      " leading blank",
      "trailing blank ",
      "  ",
      "a=b=c",
      "; not a comment",
      "# nor this",
      "[CONFIG]",
      "\"quoted\"",
      "\"",
      "ends with backslash\\",
      "\\\"",
      "\\x41 \\n stays literal",
      "\"\\x4\"",
      "ünïcødé €",
      "\xff\xfe not UTF-8",
      "tab\tinside",
      "line\nbreak",
      "\r\n",
      "\n[Other]\nKey=injected",
      std::string("nul\0byte", 8),
      "\x01\x1f\x7f",
  };
  {
    IniSettingsStore store(file);
    for (std::size_t i = 0; i < values.size(); ++i) {
      store.SaveSetting(kApp, kSection, "Key" + std::to_string(i), values[i]);
      ASSERT_FALSE(store.LastWriteError()) << store.LastWriteError().message();
    }
  }
  IniSettingsStore reread(file);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(reread.GetSetting(kApp, kSection, "Key" + std::to_string(i), "<unset>"), values[i])
        << "value #" << i;
  }
  EXPECT_EQ(reread.GetSetting(kApp, "Other", "Key", "<unset>"), "<unset>");
}

TEST_F(IniSettingsStoreTest, SectionsAndKeysIgnoreCaseAndKeepTheFirstSpelling) {
  {
    IniSettingsStore store(file);
    store.SaveSetting(kApp, kSection, "SAVER", "first");
    store.SaveSetting(kApp, "config", "Saver", "second");
    EXPECT_EQ(store.GetSetting(kApp, "Config", "saver", ""), "second");
  }
  EXPECT_EQ(ReadText(file), "[CONFIG]\nSAVER=second\n");
  IniSettingsStore reread(file);
  EXPECT_EQ(reread.GetSetting(kApp, kSection, "SaVeR", ""), "second");
}

TEST_F(IniSettingsStoreTest, RewriteKeepsEverythingItDoesNotOwn) {
  WriteText(file,
            "\xEF\xBB\xBF; written by hand\r\n"
            "[Other]\r\n"
            "Camera=from another program\r\n"
            "\r\n"
            "[config]\r\n"
            "  camera  =  4  \r\n"
            "odd line without equals\r\n"
            "Quoted=\"unterminated\r\n"
            "# trailing comment\r\n"
            "\r\n"
            "[Last]\r\n"
            "x=1");
  IniSettingsStore store(file);
  EXPECT_EQ(store.GetSetting(kApp, kSection, "Camera", ""), "4");
  EXPECT_EQ(store.GetSetting(kApp, kSection, "Quoted", ""), "\"unterminated");
  EXPECT_EQ(store.GetSetting(kApp, "OTHER", "Camera", ""), "from another program");

  store.SaveSetting(kApp, kSection, "Camera", "5");
  store.SaveSetting(kApp, kSection, "Audio", "True");
  store.SaveSetting(kApp, "New", "Key", "v");
  EXPECT_EQ(ReadText(file),
            "\xEF\xBB\xBF; written by hand\n"
            "[Other]\n"
            "Camera=from another program\n"
            "\n"
            "[config]\n"
            "camera=5\n"
            "odd line without equals\n"
            "Quoted=\"unterminated\n"
            "Audio=True\n"
            "# trailing comment\n"
            "\n"
            "[Last]\n"
            "x=1\n"
            "\n"
            "[New]\n"
            "Key=v\n");
}

TEST_F(IniSettingsStoreTest, FileIsPrivateToItsOwner) {
  IniSettingsStore store(file);
  store.SaveSetting(kApp, kSection, "RemotePW", "scrambled");
  EXPECT_EQ(ModeOf(file), 0600u);
  EXPECT_EQ(ModeOf(file.parent_path()), 0700u);

  ::chmod(file.c_str(), 0644);
  store.SaveSetting(kApp, kSection, "RemotePW", "again");
  EXPECT_EQ(ModeOf(file), 0600u);
}

TEST_F(IniSettingsStoreTest, ReplacesTheFileWithoutLeavingTemporaryFiles) {
  IniSettingsStore store(file);
  for (int i = 0; i < 5; ++i) store.SaveSetting(kApp, kSection, "N", std::to_string(i));
  EXPECT_EQ(FolderEntries(file.parent_path()), std::vector<std::string>{"Orvantix.ini"});
  EXPECT_EQ(ReadText(file), "[CONFIG]\nN=4\n");
}

TEST_F(IniSettingsStoreTest, FollowsASymbolicLink) {
  const fs::path real = temp.Path() / "dotfiles" / "real.ini";
  WriteText(real, "[CONFIG]\nA=1\n");
  fs::create_directories(file.parent_path());
  fs::create_symlink(real, file);
  IniSettingsStore store(file);
  store.SaveSetting(kApp, kSection, "A", "2");
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(ReadText(real), "[CONFIG]\nA=2\n");
}

TEST_F(IniSettingsStoreTest, FolderThatCannotBeCreatedReportsAndKeepsTheValue) {
  WriteText(temp.Path() / "plainfile", "x");
  IniSettingsStore store(temp.Path() / "plainfile" / "sub" / "Orvantix.ini");
  store.SaveSetting(kApp, kSection, "Camera", "3");
  EXPECT_TRUE(store.LastWriteError());
  EXPECT_EQ(store.GetSetting(kApp, kSection, "Camera", ""), "3");
}

TEST_F(IniSettingsStoreTest, ReadOnlyFolderLeavesTheOldFileIntact) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
  WriteText(file, "[CONFIG]\nCamera=2\n");
  IniSettingsStore store(file);
  ::chmod(file.parent_path().c_str(), 0500);
  store.SaveSetting(kApp, kSection, "Camera", "3");
  ::chmod(file.parent_path().c_str(), 0700);
  EXPECT_TRUE(store.LastWriteError());
  EXPECT_EQ(ReadText(file), "[CONFIG]\nCamera=2\n");
  EXPECT_EQ(FolderEntries(file.parent_path()), std::vector<std::string>{"Orvantix.ini"});
}

TEST_F(IniSettingsStoreTest, UnreadableFileIsNeverWrittenOver) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
  WriteText(file, "[Other]\nPrecious=1\n");
  ::chmod(file.c_str(), 0);
  IniSettingsStore store(file);
  store.SaveSetting(kApp, kSection, "Camera", "3");
  ::chmod(file.c_str(), 0600);
  EXPECT_TRUE(store.LastWriteError());
  EXPECT_EQ(store.GetSetting(kApp, kSection, "Camera", ""), "3");
  EXPECT_EQ(ReadText(file), "[Other]\nPrecious=1\n");
}

TEST_F(IniSettingsStoreTest, AFolderInPlaceOfTheFileIsNeverReplaced) {
  fs::create_directories(file / "inside");
  IniSettingsStore store(file);
  store.SaveSetting(kApp, kSection, "Camera", "3");
  EXPECT_TRUE(store.LastWriteError());
  EXPECT_TRUE(fs::is_directory(file / "inside"));
}

TEST_F(IniSettingsStoreTest, NamesThatWouldBreakTheFileAreRefused) {
  IniSettingsStore store(file);
  for (const std::string bad : {"", " Camera", "Camera ", "a=b", "a\nb", "[x", "x]", ";x", "#x"}) {
    EXPECT_THROW(store.SaveSetting(kApp, kSection, bad, "v"), std::invalid_argument) << bad;
    EXPECT_THROW(store.SaveSetting(kApp, bad, "Key", "v"), std::invalid_argument) << bad;
    EXPECT_THROW(store.GetSetting(kApp, kSection, bad, ""), std::invalid_argument) << bad;
  }
  EXPECT_FALSE(fs::exists(file));
}

struct DefaultPathCase {
  std::optional<std::string> xdgConfigHome;
  std::string expectedRelativeToTemp;
};

class IniSettingsStoreDefaultPathTest : public ::testing::TestWithParam<DefaultPathCase> {};

TEST_P(IniSettingsStoreDefaultPathTest, FollowsXdgConfigHome) {
  TempFolder temp;
  ScopedEnv home("HOME", (temp.Path() / "home").string());
  std::optional<std::string> xdg = GetParam().xdgConfigHome;
  if (xdg && !xdg->empty() && xdg->front() == '@') xdg = (temp.Path() / xdg->substr(1)).string();
  ScopedEnv config("XDG_CONFIG_HOME", xdg);

  const fs::path expected = temp.Path() / GetParam().expectedRelativeToTemp;
  EXPECT_EQ(IniSettingsStore::DefaultPath(kApp), expected);

  IniSettingsStore store;
  store.SaveSetting(kApp, kSection, "Camera", "3");
  EXPECT_EQ(ReadText(expected), "[CONFIG]\nCamera=3\n");
  IniSettingsStore reread;
  EXPECT_EQ(reread.GetSetting(kApp, kSection, "camera", ""), "3");
}

// "@" stands for the test's temporary folder.
INSTANTIATE_TEST_SUITE_P(
    Cases, IniSettingsStoreDefaultPathTest,
    ::testing::Values(DefaultPathCase{"@xdg", "xdg/Orvantix/Orvantix.ini"},
                      DefaultPathCase{std::nullopt, "home/.config/Orvantix/Orvantix.ini"},
                      DefaultPathCase{"", "home/.config/Orvantix/Orvantix.ini"},
                      DefaultPathCase{"relative/config", "home/.config/Orvantix/Orvantix.ini"}));

TEST(IniSettingsStoreAppTest, ApplicationsKeepSeparateFiles) {
  TempFolder temp;
  ScopedEnv config("XDG_CONFIG_HOME", temp.Path().string());
  IniSettingsStore store;
  store.SaveSetting("Orvantix", kSection, "Key", "mine");
  store.SaveSetting("Other", kSection, "Key", "theirs");
  EXPECT_EQ(store.GetSetting("Orvantix", kSection, "Key", ""), "mine");
  EXPECT_EQ(ReadText(temp.Path() / "Other" / "Other.ini"), "[CONFIG]\nKey=theirs\n");
  for (const std::string bad : {"", "..", "a/b"}) {
    EXPECT_THROW(store.GetSetting(bad, kSection, "Key", ""), std::invalid_argument) << bad;
  }
}

}  // namespace
}  // namespace platform::settings
