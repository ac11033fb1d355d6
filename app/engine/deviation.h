// The measure of a frame against the base: relative difference of the two
// compressed sizes, in percent, and its text on status panel 1.
#pragma once

#include <cstdint>
#include <string>

namespace orvantix {

// |size - baseSize| * 100 / baseSize rounded to two decimals, halves to
// even. Exact for every pair of sizes, however far apart; 0 when baseSize
// is not positive.
float DeviationPercent(std::int32_t size, std::int32_t baseSize);

// "3.25%  (4%)": the deviation with two decimals, then the threshold.
std::string DeviationText(float deviation, float threshold);

}  // namespace orvantix
