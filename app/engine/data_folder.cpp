#include "app/engine/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/ui/activity_log.h"

namespace orvantix {

namespace fs = std::filesystem;

std::string DataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return (fs::path(data) / "Orvantix").string() + "/";
  const char* home = std::getenv("HOME");
  if (home && *home) return (fs::path(home) / ".local/share/Orvantix").string() + "/";
  return {};
}

bool PrepareDataFolder(const std::string& shippedFolder) {
  const std::string folder = DataFolder();
  if (folder.empty()) return false;
  std::error_code ec;
  fs::create_directories(folder, ec);
  fs::current_path(folder, ec);
  if (ec) return false;
  for (const char* name : {ActivityLog::kTemplateName, "kelvra.html"}) {
    if (fs::exists(name, ec)) continue;
    fs::copy_file(fs::path(shippedFolder) / name, name, ec);
  }
  return true;
}

}  // namespace orvantix
