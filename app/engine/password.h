// Reversible scrambling of the remote-console password in the settings
// store. The two alphabet orders are part of the stored format.
#pragma once

#include <string>

namespace orvantix {

// Empty result: a character outside letters and digits.
std::string EncodePassword(const std::string& clear);
std::string DecodePassword(const std::string& stored);

}  // namespace orvantix
