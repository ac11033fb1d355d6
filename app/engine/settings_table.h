// The settings table: every key of the program lives under application
// "Orvantix", section "CONFIG", as a string.
#pragma once

#include <string>

#include "platform/settings/settings_store.h"

namespace orvantix {

namespace keys {
inline constexpr const char* kCamera = "Camera";
inline constexpr const char* kAudio = "Audio";
inline constexpr const char* kCaptureFPS = "CaptureFPS";
inline constexpr const char* kSensitivity = "Sensitivity";
inline constexpr const char* kRecStop = "RecStop";
inline constexpr const char* kTimeType = "TimeType";
inline constexpr const char* kNewBase = "NewBase";
inline constexpr const char* kSuspendRefresh = "SuspendRefresh";
inline constexpr const char* kVidPath = "VidPath";
inline constexpr const char* kEMail = "EMail";
inline constexpr const char* kSMTPServer = "SMTPServer";
inline constexpr const char* kLowSpace = "LowSpace";
inline constexpr const char* kRemotePW = "RemotePW";
inline constexpr const char* kNotify = "Notify";
inline constexpr const char* kAPM = "APM";
inline constexpr const char* kSaver = "SAVER";
inline constexpr const char* kPosLeft = "PosLeft";
inline constexpr const char* kPosTop = "PosTop";
inline constexpr const char* kPosWidth = "PosWidth";
inline constexpr const char* kPosHeight = "PosHeight";
}  // namespace keys

inline constexpr const char* kDefaultSmtpServer = "smtp.example.com";

class Settings {
 public:
  static constexpr const char* kApp = "Orvantix";
  static constexpr const char* kSection = "CONFIG";

  explicit Settings(platform::settings::SettingsStore& store) : store_(store) {}

  std::string Get(const std::string& key, const std::string& fallback) {
    return store_.GetSetting(kApp, kSection, key, fallback);
  }
  void Save(const std::string& key, const std::string& value) {
    store_.SaveSetting(kApp, kSection, key, value);
  }

 private:
  platform::settings::SettingsStore& store_;
};

// "True"/"False" as stored; reading also accepts any letter case.
std::string BoolText(bool value);
bool ParseBool(const std::string& text, bool fallback);
// Decimal text read as a number; fallback when it is not one.
double ParseNumber(const std::string& text, double fallback);

}  // namespace orvantix
