// Texts of numbers and times as the program shows them.
#pragma once

#include <chrono>
#include <string>

namespace orvantix {

// The locale's default date-time text ("%x %X").
std::string DateTimeText(std::chrono::system_clock::time_point when);

// Shortest decimal form with "." and no trailing zeros: 1.2, 4, 0.25.
std::string ShortestDecimal(double value);

// Number text for displays: a blank before a non-negative number, then the
// shortest decimal form (" 4", " 1.2", "-3").
std::string NumberText(double value);

// Whole number as decimal text without a leading blank.
std::string DecimalText(long long value);

}  // namespace orvantix
