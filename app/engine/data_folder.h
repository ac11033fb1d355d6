// The program's own folder for its log and pages: $XDG_DATA_HOME/Orvantix/
// (default ~/.local/share/Orvantix/). It becomes the current folder at
// start-up, so the log lives there whatever folder the program started in.
#pragma once

#include <string>

namespace orvantix {

// The folder, ending with "/"; empty when no home is known.
std::string DataFolder();

// Creates the folder, makes it current and copies the shipped template and
// documentation page from `shippedFolder` when they are missing there.
// False when the folder cannot be made current.
bool PrepareDataFolder(const std::string& shippedFolder);

}  // namespace orvantix
