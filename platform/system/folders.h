// Folders of the host: temporary files, the screen-saver folder, the
// default video folder and the program's data.
#pragma once

#include <string>

namespace platform::system {

// TEMP, else TMPDIR, else /tmp; always ending with "/".
std::string TempFolder();
// The screen-saver folder: ORVANTIX_SAVER_DIR, else the shipped one;
// ending with "/", empty when neither is known.
std::string SystemFolder();
// The user's videos folder when it exists and is writable, else the home
// folder; ending with "/".
std::string DefaultVideoFolder();
// The program's shipped data (template, documentation page, savers):
// ORVANTIX_DATA_DIR, else ../share/orvantix beside the executable, else the
// source tree's data folder for a build that was not installed.
std::string ProgramDataFolder();

}  // namespace platform::system
