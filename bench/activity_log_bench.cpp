// One activity log entry on a log that already holds 100, 1,000 and 10,000
// rows: each entry reads and rewrites the whole file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/ui/activity_log.h"

namespace {

namespace fs = std::filesystem;

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (fs::temp_directory_path() / "orvanta-bench-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

std::string LogWithRows(int rows) {
  std::string log =
      "<HTML>\r\n<BODY>\r\n<TABLE>\r\n<TR><TH>Start</TH><TH>End</TH><TH>Camera</TH>"
      "<TH>Sensitivity</TH><TH>Recording</TH></TR>\r\n";
  for (int i = 0; i < rows; ++i) {
    log +=
        "<TR><TD ALIGN=LEFT>05/28/02 22:19:26</TD><TD ALIGN=LEFT>05/28/02 22:19:58</TD>"
        "<TD ALIGN=LEFT>Hall camera</TD><TD ALIGN=RIGHT> 4%</TD><TD ALIGN=LEFT><A HREF=\""
        "file:///home/watch/Videos/052802-221926.avi\">Play</A></TD></TR>\r\n";
  }
  log += "<!--DATA-->\r\n</TABLE>\r\n</BODY>\r\n</HTML>\r\n";
  return log;
}

void BM_AddLogEntry(benchmark::State& state) {
  BenchFolder folder;
  if (folder.Path().empty()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  orvantix::ActivityLog log(folder.Path());
  const std::string base = LogWithRows(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(log.LogPath(), std::ios::binary | std::ios::trunc) << base;
    state.ResumeTiming();
    log.AddLogEntry("05/28/02 22:19:26", "05/28/02 22:19:58", "/home/watch/Videos/x.avi",
                    "Hall camera", 4.0f);
  }
  state.counters["log_bytes"] = static_cast<double>(base.size());
  if (fs::file_size(log.LogPath()) <= base.size()) state.SkipWithError("no row was added");
}

BENCHMARK(BM_AddLogEntry)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
