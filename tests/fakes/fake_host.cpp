#include "tests/fakes/fake_host.h"

#include <algorithm>
#include <cctype>

namespace orvantix::testing {

std::string MemorySettings::Fold(const std::string& app, const std::string& section,
                                 const std::string& key) {
  std::string folded = app + "/" + section + "/" + key;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return folded;
}

std::string MemorySettings::GetSetting(const std::string& app, const std::string& section,
                                       const std::string& key, const std::string& fallback) {
  auto it = values_.find(Fold(app, section, key));
  return it == values_.end() ? fallback : it->second;
}

void MemorySettings::SaveSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& value) {
  values_[Fold(app, section, key)] = value;
}

std::string MemorySettings::Value(const std::string& key) const {
  auto it = values_.find(Fold("Orvantix", "CONFIG", key));
  return it == values_.end() ? "<unset>" : it->second;
}

bool MemorySettings::Has(const std::string& key) const {
  return values_.count(Fold("Orvantix", "CONFIG", key)) > 0;
}

}  // namespace orvantix::testing
