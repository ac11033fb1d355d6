// The trace file: one line per traced step while tracing is on, appended so
// the lines of all runs accumulate.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "app/engine/clock.h"

namespace orvantix {

class Tracer {
 public:
  explicit Tracer(const Clock& clock) : clock_(clock) {}

  // Opens the file for appending; false when it cannot be opened, and then
  // tracing stays off.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // "date time - context - step" + CR LF; nothing when the file is closed.
  void Trace(const std::string& context, const std::string& step);

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  const Clock& clock_;
  std::unique_ptr<std::FILE, FileCloser> file_;
};

// "KelvraDebug.dat" in TEMP, else TMPDIR, else /tmp.
std::string TraceFilePath();

}  // namespace orvantix
