#include "app/engine/trace.h"

#include "app/engine/text_format.h"
#include "platform/system/folders.h"

namespace orvantix {

bool Tracer::Open(const std::string& path) {
  file_.reset(std::fopen(path.c_str(), "ab"));
  return file_ != nullptr;
}

void Tracer::Close() { file_.reset(); }

void Tracer::Trace(const std::string& context, const std::string& step) {
  if (!file_) return;
  const std::string line = DateTimeText(clock_.WallNow()) + " - " + context + " - " + step + "\r\n";
  std::fwrite(line.data(), 1, line.size(), file_.get());
  // A crash must not swallow the last lines: they are what the trace is for.
  std::fflush(file_.get());
}

std::string TraceFilePath() { return platform::system::TempFolder() + "KelvraDebug.dat"; }

}  // namespace orvantix
