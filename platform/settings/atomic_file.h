// Replaces a file in one step: the new text goes to a temporary file in the
// same folder, reaches the disk, and is renamed over the old file, so a
// crash leaves either the old file or the new one, never half of one.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace platform::settings {

// Missing folders are created with mode 0700. The file gets `mode` whatever
// mode the old one had. A symbolic link is followed, so the file it points
// to is replaced and the link stays.
std::error_code WriteFileAtomically(const std::filesystem::path& file, std::string_view contents,
                                    mode_t mode);

}  // namespace platform::settings
