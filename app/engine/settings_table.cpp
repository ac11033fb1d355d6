#include "app/engine/settings_table.h"

#include <strings.h>

#include <charconv>

namespace orvantix {

std::string BoolText(bool value) { return value ? "True" : "False"; }

bool ParseBool(const std::string& text, bool fallback) {
  if (strcasecmp(text.c_str(), "True") == 0) return true;
  if (strcasecmp(text.c_str(), "False") == 0) return false;
  return fallback;
}

double ParseNumber(const std::string& text, double fallback) {
  // Settings always hold "." decimals, whatever the user's locale says.
  const char* begin = text.data();
  const char* end = begin + text.size();
  while (begin != end && *begin == ' ') ++begin;
  while (end != begin && end[-1] == ' ') --end;
  if (begin != end && *begin == '+') ++begin;
  double value = 0;
  const auto result = std::from_chars(begin, end, value);
  if (result.ec != std::errc() || result.ptr != end) return fallback;
  return value;
}

}  // namespace orvantix
