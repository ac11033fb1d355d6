#include "platform/system/host_system.h"

#include <sys/statvfs.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "platform/system/folders.h"

namespace platform::system {

double HostSystem::FreeSpaceMB(const std::string& path) {
  struct statvfs st {};
  if (path.empty() || ::statvfs(path.c_str(), &st) != 0) return 0;
  // In double: the product overflows nothing and keeps the fraction.
  return static_cast<double>(st.f_bavail) * static_cast<double>(st.f_frsize) / 1024 / 1024;
}

std::string HostSystem::SystemFolder() { return platform::system::SystemFolder(); }

bool HostSystem::ShellOpen(const std::string& target) {
  if (target.empty()) return false;
  // A relative file name starting with "-" would be read as an option.
  const std::string argument = target.front() == '-' ? "./" + target : target;
  return QProcess::startDetached(QString::fromStdString(opener_),
                                 {QString::fromStdString(argument)});
}

}  // namespace platform::system
