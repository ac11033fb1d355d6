#include "platform/settings/ini_settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "platform/settings/atomic_file.h"
#include "platform/settings/unique_fd.h"

namespace platform::settings {

namespace {

constexpr mode_t kFileMode = 0600;

std::string EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::filesystem::path HomeFolder() {
  std::string home = EnvOrEmpty("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid())) home = entry->pw_dir;
  }
  return home;
}

void CheckNames(const std::string& section, const std::string& key) {
  if (!IniDocument::IsValidName(section))
    throw std::invalid_argument("invalid settings section name: " + section);
  if (!IniDocument::IsValidName(key))
    throw std::invalid_argument("invalid settings key name: " + key);
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path file) : fixedPath_(std::move(file)) {
  files_.emplace("", Load(fixedPath_));
}

std::filesystem::path IniSettingsStore::DefaultPath(const std::string& app) {
  std::filesystem::path root = EnvOrEmpty("XDG_CONFIG_HOME");
  // A relative value is invalid and must be ignored, as an empty one.
  if (root.empty() || root.is_relative()) root = HomeFolder() / ".config";
  return root / app / (app + ".ini");
}

IniSettingsStore::File IniSettingsStore::Load(std::filesystem::path path) {
  File file;
  file.path = std::move(path);
  UniqueFd fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) {
    // Only a missing file is a fresh start; any other failure keeps the file safe.
    if (errno != ENOENT) file.readError = {errno, std::system_category()};
    return file;
  }
  std::string text;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      file.readError = {errno, std::system_category()};
      return file;
    }
    text.append(buffer, static_cast<std::size_t>(n));
  }
  file.document = IniDocument(text);
  return file;
}

IniSettingsStore::File& IniSettingsStore::FileFor(const std::string& app) {
  if (!fixedPath_.empty()) return files_.begin()->second;
  if (!IniDocument::IsValidName(app) || app.find('/') != std::string::npos || app == "." ||
      app == "..")
    throw std::invalid_argument("invalid settings application name: " + app);
  auto it = files_.find(app);
  if (it == files_.end()) it = files_.emplace(app, Load(DefaultPath(app))).first;
  return it->second;
}

std::string IniSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                         const std::string& key, const std::string& fallback) {
  CheckNames(section, key);
  return FileFor(app).document.Get(section, key).value_or(fallback);
}

void IniSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                   const std::string& key, const std::string& value) {
  CheckNames(section, key);
  File& file = FileFor(app);
  file.document.Set(section, key, value);
  if (file.readError) {
    lastWriteError_ = file.readError;
    return;
  }
  lastWriteError_ = WriteFileAtomically(file.path, file.document.Text(), kFileMode);
}

}  // namespace platform::settings
