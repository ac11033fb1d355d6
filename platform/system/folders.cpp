#include "platform/system/folders.h"

#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform::system {

namespace {

namespace fs = std::filesystem;

// An empty variable counts as unset.
std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool IsWritableFolder(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

// <prefix>/share/orvantix of an installed program, from where it runs.
std::string InstalledDataFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  const fs::path dataDir = ORVANTA_INSTALL_DATADIR;
  const fs::path folder =
      ((dataDir.is_absolute() ? dataDir : exe.parent_path() / ".." / dataDir) / "orvantix")
          .lexically_normal();
  return fs::is_directory(folder, ec) ? folder.string() : std::string();
}

}  // namespace

std::string TempFolder() {
  for (const char* name : {"TEMP", "TMPDIR"}) {
    if (std::string folder = Env(name); !folder.empty()) return WithSlash(std::move(folder));
  }
  return "/tmp/";
}

std::string SystemFolder() {
  if (std::string folder = Env("ORVANTIX_SAVER_DIR"); !folder.empty()) {
    return WithSlash(std::move(folder));
  }
  const std::string data = ProgramDataFolder();
  return data.empty() ? std::string() : data + "savers/";
}

std::string DefaultVideoFolder() {
  const std::string videos =
      QStandardPaths::writableLocation(QStandardPaths::MoviesLocation).toStdString();
  if (IsWritableFolder(videos)) return WithSlash(videos);
  return WithSlash(QDir::homePath().toStdString());
}

std::string ProgramDataFolder() {
  if (std::string folder = Env("ORVANTIX_DATA_DIR"); !folder.empty()) {
    return WithSlash(std::move(folder));
  }
  if (std::string folder = InstalledDataFolder(); !folder.empty()) {
    return WithSlash(std::move(folder));
  }
  return WithSlash(ORVANTA_SOURCE_DATA_DIR);
}

}  // namespace platform::system
