#include "app/engine/text_format.h"

#include <charconv>
#include <ctime>

namespace orvantix {

std::string DateTimeText(std::chrono::system_clock::time_point when) {
  const std::time_t t = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&t, &local);
  char buffer[128];
  const std::size_t n = std::strftime(buffer, sizeof buffer, "%x %X", &local);
  return std::string(buffer, n);
}

std::string ShortestDecimal(double value) {
  // Single-precision settings such as 1.2f must read 1.2, not 1.2000000477.
  const float f = static_cast<float>(value);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, f, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string NumberText(double value) {
  const std::string text = ShortestDecimal(value);
  return value >= 0 ? " " + text : text;
}

std::string DecimalText(long long value) { return std::to_string(value); }

}  // namespace orvantix
