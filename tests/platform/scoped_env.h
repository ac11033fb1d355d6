// Sets or unsets an environment variable for one test and puts the old
// value back afterwards.
#pragma once

#include <optional>
#include <string>

namespace platform::testing {

class ScopedEnv {
 public:
  // nullopt unsets the variable.
  ScopedEnv(std::string name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) const;

  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace platform::testing
