// The host's real services: statvfs for free space, the screen-saver
// folder, and the desktop's opener started detached.
#pragma once

#include <string>

#include "platform/system/system_services.h"

namespace platform::system {

class HostSystem : public SystemServices {
 public:
  HostSystem() = default;
  // The program ShellOpen starts, given the target as its one argument.
  explicit HostSystem(std::string opener) : opener_(std::move(opener)) {}

  double FreeSpaceMB(const std::string& path) override;
  std::string SystemFolder() override;
  // False when the target is empty or the opener cannot be started; what
  // the opener then does with the target is not reported.
  bool ShellOpen(const std::string& target) override;

 private:
  std::string opener_ = "xdg-open";
};

}  // namespace platform::system
