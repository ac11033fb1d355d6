#include "app/ui/activity_log.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fakes/engine_harness.h"

namespace orvantix::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStart = "05/28/02 22:19:26";
constexpr const char* kEnd = "05/28/02 22:20:01";
constexpr const char* kPage = "<HTML>\r\n<TABLE>\r\n<!--DATA-->\r\n</TABLE>\r\n</HTML>\r\n";

std::string RecordingRow(const std::string& first, const std::string& url,
                         const std::string& camera = "Cam", const std::string& threshold = " 4") {
  return "<TR><TD ALIGN=LEFT>" + first + "</TD><TD ALIGN=LEFT>" + kEnd + "</TD><TD ALIGN=LEFT>" +
         camera + "</TD><TD ALIGN=RIGHT>" + threshold + "%</TD><TD ALIGN=LEFT><A HREF=\"" + url +
         "\">Play</A></TD></TR>";
}

std::string MessageRow(const std::string& first, const std::string& message) {
  return "<TR><TD ALIGN=LEFT>" + first + "</TD><TD ALIGN=LEFT COLSPAN=3>" + message +
         "</TD><TD ALIGN=LEFT>&nbsp;</TD></TR>";
}

class ActivityLogTest : public ::testing::Test {
 protected:
  TempFolder folder;
  ActivityLog log{folder.Path()};

  void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Read(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteLog(const std::string& bytes) { Write(log.LogPath(), bytes); }
  std::string ReadLog() const { return Read(log.LogPath()); }
  void AddRecording(const std::string& first, const std::string& path = "/v/a.avi") {
    log.AddLogEntry(first, kEnd, path, "Cam", 4.0f);
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(ActivityLogTest, RowsGoAboveTheMarkerOldestFirst) {
  WriteLog(kPage);
  AddRecording("one");
  log.AddLogEntry("two", "Mail sent to a@b.example", "", "Cam", 4.0f);
  AddRecording("three", "/v/c.avi");
  EXPECT_EQ(ReadLog(), std::string("<HTML>\r\n<TABLE>\r\n") +
                           RecordingRow("one", "file:///v/a.avi") + "\r\n" +
                           MessageRow("two", "Mail sent to a@b.example") + "\r\n" +
                           RecordingRow("three", "file:///v/c.avi") + "\r\n" +
                           "<!--DATA-->\r\n</TABLE>\r\n</HTML>\r\n");
}

TEST_F(ActivityLogTest, EveryMarkerLineGetsTheRow) {
  WriteLog("<!--DATA-->\r\nmiddle\r\n<!--DATA-->\r\n");
  AddRecording("one");
  const std::string row = RecordingRow("one", "file:///v/a.avi") + "\r\n";
  EXPECT_EQ(ReadLog(), row + "<!--DATA-->\r\nmiddle\r\n" + row + "<!--DATA-->\r\n");
}

TEST_F(ActivityLogTest, LinesEndAtCrOrCrLfAndAreWrittenBackWithCrLf) {
  const std::string row = RecordingRow("one", "file:///v/a.avi");
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"no marker", "<HTML>\r\n</HTML>\r\n", "<HTML>\r\n</HTML>\r\n"},
      {"indented marker", " <!--DATA-->\r\n", " <!--DATA-->\r\n"},
      {"marker with a trailing blank", "<!--DATA--> \r\n", "<!--DATA--> \r\n"},
      {"marker in other case", "<!--data-->\r\n", "<!--data-->\r\n"},
      {"LF only: one single line", "a\n<!--DATA-->\nb\n", "a\n<!--DATA-->\nb\n\r\n"},
      {"CR only", "a\r<!--DATA-->\rb", "a\r\n" + row + "\r\n<!--DATA-->\r\nb\r\n"},
      {"empty lines kept", "\r\n\r\r\n<!--DATA-->", "\r\n\r\n\r\n" + row + "\r\n<!--DATA-->\r\n"},
      {"empty file", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteLog(c.before);
    AddRecording("one");
    EXPECT_EQ(ReadLog(), c.after);
  }
}

TEST_F(ActivityLogTest, BlankPathMakesAMessageRow) {
  for (const char* path : {"", "   "}) {
    WriteLog("<!--DATA-->\r\n");
    log.AddLogEntry(kStart, "Error sending mail: timeout", path, "Cam", 4.0f);
    EXPECT_EQ(ReadLog(), MessageRow(kStart, "Error sending mail: timeout") + "\r\n<!--DATA-->\r\n")
        << "'" << path << "'";
  }
}

TEST_F(ActivityLogTest, TextsFromOutsideAreEscaped) {
  WriteLog("<!--DATA-->\r\n");
  log.AddLogEntry("<b>", "Error sending mail: 550 <a@b> & \"x\" 'y'", "", "Cam", 4.0f);
  log.AddLogEntry(kStart, kEnd, "/v/a.avi", "Cam & <Co>", 4.0f);
  EXPECT_EQ(ReadLog(),
            MessageRow("&lt;b&gt;",
                       "Error sending mail: 550 &lt;a@b&gt; &amp; &quot;x&quot; &#39;y&#39;") +
                "\r\n" + RecordingRow(kStart, "file:///v/a.avi", "Cam &amp; &lt;Co&gt;") +
                "\r\n<!--DATA-->\r\n");
}

TEST_F(ActivityLogTest, PlayLinkIsAFileUrlOfTheAbsolutePath) {
  const std::pair<std::string, std::string> cases[] = {
      {"/home/u/Videos/x.avi", "file:///home/u/Videos/x.avi"},
      {"/tmp/my videos/#1 100%.avi", "file:///tmp/my%20videos/%231%20100%25.avi"},
      {"/v/caf\xC3\xA9.avi", "file:///v/caf%C3%A9.avi"},
      {"/v/a\"b<c>&d.avi", "file:///v/a%22b%3Cc%3E%26d.avi"},
      {"x.avi", "file://" + fs::current_path().string() + "/x.avi"},
  };
  for (const auto& [path, url] : cases) {
    WriteLog("<!--DATA-->\r\n");
    AddRecording(kStart, path);
    EXPECT_EQ(ReadLog(), RecordingRow(kStart, url) + "\r\n<!--DATA-->\r\n") << path;
  }
}

TEST_F(ActivityLogTest, SensitivityCellHasABlankAndTheShortestNumber) {
  const std::pair<float, const char*> cases[] = {
      {1.2f, " 1.2"}, {2.0f, " 2"}, {4.0f, " 4"}, {6.0f, " 6"}, {8.0f, " 8"}};
  for (const auto& [threshold, text] : cases) {
    WriteLog("<!--DATA-->\r\n");
    log.AddLogEntry(kStart, kEnd, "/v/a.avi", "Cam", threshold);
    EXPECT_EQ(ReadLog(),
              RecordingRow(kStart, "file:///v/a.avi", "Cam", text) + "\r\n<!--DATA-->\r\n");
  }
}

TEST_F(ActivityLogTest, BytesAreKeptAsTheyAre) {
  WriteLog("<TITLE>Prot\xE9ge \x80\x01</TITLE>\r\n<!--DATA-->\r\n");
  log.AddLogEntry(kStart, kEnd, "/v/a.avi", "Kamera \xE9\xFF", 4.0f);
  EXPECT_EQ(ReadLog(), "<TITLE>Prot\xE9ge \x80\x01</TITLE>\r\n" +
                           RecordingRow(kStart, "file:///v/a.avi", "Kamera \xE9\xFF") +
                           "\r\n<!--DATA-->\r\n");
}

TEST_F(ActivityLogTest, WithoutALogNothingIsWritten) {
  Write(log.TemplatePath(), kPage);
  AddRecording("one");
  EXPECT_FALSE(fs::exists(log.LogPath()));

  fs::create_directory(log.LogPath());  // a log that cannot be read as a file
  AddRecording("one");
  EXPECT_TRUE(fs::is_directory(log.LogPath()));
}

TEST_F(ActivityLogTest, FailedRewriteKeepsTheOldLog) {
  const std::string old = std::string(kPage) + std::string(4000, 'x') + "\r\n";
  WriteLog(old);
  // Files may not grow beyond the old log's size: the rewrite fails midway,
  // as on a full disk.
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = old.size();
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  AddRecording("one");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(ReadLog(), old);
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"kelvralog.html"});  // no leftovers
}

TEST_F(ActivityLogTest, UnwritableFolderKeepsTheOldLog) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  WriteLog(kPage);
  fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  AddRecording("one");
  fs::permissions(folder.Path(), fs::perms::owner_all);
  EXPECT_EQ(ReadLog(), kPage);
}

TEST_F(ActivityLogTest, WriteProtectedLogIsLeftAlone) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes to write-protected files";
  WriteLog(kPage);
  fs::permissions(log.LogPath(), fs::perms::owner_read);
  AddRecording("one");
  log.Clear();
  EXPECT_EQ(ReadLog(), kPage);
}

TEST_F(ActivityLogTest, RewriteKeepsTheLogsMode) {
  WriteLog(kPage);
  fs::permissions(log.LogPath(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  AddRecording("one");
  EXPECT_EQ(fs::status(log.LogPath()).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ActivityLogTest, TemplateIsCopiedOnlyWhenNoLogExists) {
  log.CreateFromTemplateIfMissing();  // no template: no log
  EXPECT_FALSE(fs::exists(log.LogPath()));

  Write(log.TemplatePath(), kPage);
  fs::permissions(log.TemplatePath(), fs::perms::owner_read | fs::perms::group_read |
                                          fs::perms::others_read);  // as installed
  log.CreateFromTemplateIfMissing();
  EXPECT_EQ(ReadLog(), kPage);
  // The copy is the user's log, writable whatever the template's mode.
  EXPECT_TRUE((fs::status(log.LogPath()).permissions() & fs::perms::owner_write) !=
              fs::perms::none);

  WriteLog("kept");
  log.CreateFromTemplateIfMissing();
  EXPECT_EQ(ReadLog(), "kept");
}

TEST_F(ActivityLogTest, ClearReturnsToTheTemplateOrLeavesNoLog) {
  Write(log.TemplatePath(), kPage);
  WriteLog(kPage);
  AddRecording("one");
  log.Clear();
  EXPECT_EQ(ReadLog(), kPage);

  fs::remove(log.TemplatePath());
  log.Clear();
  EXPECT_FALSE(fs::exists(log.LogPath()));
  AddRecording("lost");
  EXPECT_FALSE(fs::exists(log.LogPath()));
}

}  // namespace
}  // namespace orvantix::testing
