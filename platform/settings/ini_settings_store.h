// Settings in an INI file per application,
// $XDG_CONFIG_HOME/<app>/<app>.ini (~/.config when unset or empty). The
// file is read once and kept in memory; every save rewrites it in one step
// with mode 0600, as it holds the scrambled remote password.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include "platform/settings/ini_document.h"
#include "platform/settings/settings_store.h"

namespace platform::settings {

class IniSettingsStore : public SettingsStore {
 public:
  // Each application's file under the user's config folder, read on its
  // first use.
  IniSettingsStore() = default;
  // Every application's settings in this one file, read now.
  explicit IniSettingsStore(std::filesystem::path file);

  static std::filesystem::path DefaultPath(const std::string& app);

  // Invalid application, section or key names (see IniDocument::IsValidName;
  // an application name is also a file name) throw std::invalid_argument:
  // they are programming errors, never user input.
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  // A key already in the file keeps the spelling it has there. The value is
  // kept in memory even when the file cannot be written; LastWriteError
  // then says why.
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;

  // Of the last SaveSetting; empty after a successful one.
  std::error_code LastWriteError() const { return lastWriteError_; }

 private:
  struct File {
    std::filesystem::path path;
    IniDocument document;
    // Set when the file exists but could not be read: it is never written
    // over then.
    std::error_code readError;
  };

  static File Load(std::filesystem::path path);
  File& FileFor(const std::string& app);

  std::filesystem::path fixedPath_;
  // By application name when there is no fixed path, else one entry.
  std::map<std::string, File> files_;
  std::error_code lastWriteError_;
};

}  // namespace platform::settings
