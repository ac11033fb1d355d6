// Per-user settings: string values under application / section / key.
// Keys are found without regard to case.
#pragma once

#include <string>

namespace platform::settings {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string GetSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& fallback) = 0;
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace platform::settings
