// Clock, host services and settings for engine tests.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "app/engine/clock.h"
#include "platform/settings/settings_store.h"
#include "platform/system/system_services.h"

namespace orvantix::testing {

// Time stands still until the test moves it.
class FakeClock : public Clock {
 public:
  std::chrono::steady_clock::time_point steady{std::chrono::hours(1)};
  // 2002-05-28 22:19:26 UTC
  std::chrono::system_clock::time_point wall{std::chrono::seconds(1022624366)};

  std::chrono::steady_clock::time_point SteadyNow() const override { return steady; }
  std::chrono::system_clock::time_point WallNow() const override { return wall; }
  void Advance(std::chrono::milliseconds d) {
    steady += d;
    wall += d;
  }
};

class FakeSystem : public platform::system::SystemServices {
 public:
  double freeMB = 100000;
  std::string systemFolder = "/savers/";
  std::vector<std::string> opened;

  double FreeSpaceMB(const std::string&) override { return freeMB; }
  std::string SystemFolder() override { return systemFolder; }
  bool ShellOpen(const std::string& target) override {
    opened.push_back(target);
    return true;
  }
};

// Settings in memory, keys compared without regard to case.
class MemorySettings : public platform::settings::SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
  // Value stored under CONFIG, or "<unset>".
  std::string Value(const std::string& key) const;
  bool Has(const std::string& key) const;

 private:
  static std::string Fold(const std::string& app, const std::string& section,
                          const std::string& key);
  std::map<std::string, std::string> values_;
};

}  // namespace orvantix::testing
