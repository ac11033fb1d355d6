#include "app/engine/switches.h"

#include <algorithm>
#include <cctype>

namespace orvantix {

Switches Switches::Parse(std::string_view commandLine) {
  std::string upper(commandLine);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  auto has = [&upper](std::string_view s) { return upper.find(s) != std::string::npos; };
  Switches s;
  s.Debug = has("/DEBUG");
  s.NoHw = has("/NOHW");
  s.NoOverlay = has("/NOOVERLAY");
  s.NoRemote = has("/NOREMOTE");
  s.NoMail = has("/NOMAIL");
  s.Start = has("/START");
  return s;
}

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace orvantix
