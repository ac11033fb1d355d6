// Time as the engine sees it: a monotonic clock for every elapsed-time
// measure and the wall clock for the date-time texts.
#pragma once

#include <chrono>

namespace orvantix {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::steady_clock::time_point SteadyNow() const = 0;
  virtual std::chrono::system_clock::time_point WallNow() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::chrono::steady_clock::time_point SteadyNow() const override {
    return std::chrono::steady_clock::now();
  }
  std::chrono::system_clock::time_point WallNow() const override {
    return std::chrono::system_clock::now();
  }
};

}  // namespace orvantix
