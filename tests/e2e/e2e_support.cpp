#include "tests/e2e/e2e_support.h"

#include <QProcess>
#include <QRegularExpression>
#include <fstream>
#include <sstream>

namespace orvantix::testing {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

MediaInfo Discover(const std::filesystem::path& file) {
  MediaInfo info;
  QProcess tool;
  tool.start("gst-discoverer-1.0", {"-v", QString::fromStdString(file.string())});
  if (!tool.waitForFinished(30000)) return info;
  const QString out = QString::fromUtf8(tool.readAllStandardOutput());
  info.raw = out.toStdString();
  const auto width = QRegularExpression(R"(Width: (\d+))").match(out);
  const auto height = QRegularExpression(R"(Height: (\d+))").match(out);
  const auto rate = QRegularExpression(R"(Frame rate: (\d+)/(\d+))").match(out);
  const auto duration = QRegularExpression(R"(Duration: (\d+):(\d+):(\d+\.\d+))").match(out);
  if (!width.hasMatch() || !height.hasMatch() || !duration.hasMatch()) return info;
  info.width = width.captured(1).toInt();
  info.height = height.captured(1).toInt();
  if (rate.hasMatch() && rate.captured(2).toInt() > 0)
    info.frameRate = rate.captured(1).toDouble() / rate.captured(2).toDouble();
  info.seconds = duration.captured(1).toDouble() * 3600 + duration.captured(2).toDouble() * 60 +
                 duration.captured(3).toDouble();
  info.ok = true;
  return info;
}

}  // namespace orvantix::testing
