// The HTML activity log: rows go in above every marker line of a copy of
// the shipped template.
#pragma once

#include <filesystem>
#include <string>

namespace orvantix {

class ActivityLog {
 public:
  static constexpr const char* kLogName = "kelvralog.html";
  static constexpr const char* kTemplateName = "kelvradft.html";
  static constexpr const char* kMarker = "<!--DATA-->";

  // The log and its template live in `folder`; empty = the current folder.
  explicit ActivityLog(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}

  std::filesystem::path LogPath() const { return folder_ / kLogName; }
  std::filesystem::path TemplatePath() const { return folder_ / kTemplateName; }

  // Copies the template to the log when no log exists; errors are ignored.
  void CreateFromTemplateIfMissing();
  // A recording row, or a message row when filePath is blank. Never fails
  // outward: a missing or unreadable log leaves everything as it was.
  void AddLogEntry(const std::string& first, const std::string& second, const std::string& filePath,
                   const std::string& camera, float threshold);
  // Back to the template's content; a missing template leaves no log.
  void Clear();

 private:
  std::filesystem::path folder_;
};

}  // namespace orvantix
