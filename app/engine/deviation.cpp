#include "app/engine/deviation.h"

#include <charconv>
#include <cstdlib>

#include "app/engine/text_format.h"

namespace orvantix {

float DeviationPercent(std::int32_t size, std::int32_t baseSize) {
  if (baseSize <= 0) return 0.0f;
  // 64-bit: sizes more than 21,474,836 bytes apart would overflow the
  // 32-bit product. The rounding works on the exact fraction, so a quotient
  // such as 0.125 or 0.135 rounds as its decimal value says, not as its
  // nearest double happens to lie.
  const std::int64_t difference = std::llabs(std::int64_t{size} - std::int64_t{baseSize});
  const std::int64_t scaled = difference * 10000;  // percent * 100
  std::int64_t hundredths = scaled / baseSize;
  const std::int64_t twiceRemainder = 2 * (scaled % baseSize);
  if (twiceRemainder > baseSize || (twiceRemainder == baseSize && hundredths % 2 != 0))
    ++hundredths;
  return static_cast<float>(static_cast<double>(hundredths) / 100.0);
}

std::string DeviationText(float deviation, float threshold) {
  char buffer[64];
  // to_chars ignores the process locale, so the separator stays ".".
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, deviation, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr) + "%  (" + ShortestDecimal(threshold) + "%)";
}

}  // namespace orvantix
