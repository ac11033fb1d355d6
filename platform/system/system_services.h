// Host services the program uses: disk space, folders, shell open and
// detached program start. The real implementation is HostSystem.
#pragma once

#include <string>

namespace platform::system {

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // Megabytes available to the user on the volume of path; 0 when it
  // cannot be queried.
  virtual double FreeSpaceMB(const std::string& path) = 0;
  // The screen-saver folder with a trailing "/", empty if unknown.
  virtual std::string SystemFolder() = 0;
  // Opens a file or address with the desktop's default handler, detached.
  virtual bool ShellOpen(const std::string& target) = 0;
};

}  // namespace platform::system
