// Command-line switches: the upper-cased command line is searched for each
// switch as a substring, nothing more.
#pragma once

#include <string>
#include <string_view>

namespace orvantix {

struct Switches {
  bool Debug = false;
  bool NoHw = false;
  bool NoOverlay = false;
  bool NoRemote = false;
  bool NoMail = false;
  bool Start = false;

  static Switches Parse(std::string_view commandLine);
};

// The arguments after the program name joined by blanks.
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace orvantix
