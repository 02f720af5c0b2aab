// The stall watchdog: how long the plug-in may stay silent during a command.
#pragma once

#include <chrono>

namespace worker {

/// Where the worker reads the time; tests give a clock of their own.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::steady_clock::time_point now() const = 0;
};

/// The system's steady clock.
class SteadyClock : public Clock {
 public:
  std::chrono::steady_clock::time_point now() const override {
    return std::chrono::steady_clock::now();
  }
};

/// Counts the silence since the last packet. The clock is borrowed and must outlive the watchdog.
class Watchdog {
 public:
  /// Starts counting now; a limit of zero or less never expires.
  Watchdog(const Clock& clock, std::chrono::milliseconds limit);

  /// A packet arrived: the silence starts again.
  void feed();
  /// True when the silence has lasted the limit or longer.
  bool expired() const;
  /// How long until the limit is reached (zero once expired); for bounding a wait.
  std::chrono::milliseconds remaining() const;
  std::chrono::milliseconds limit() const { return limit_; }

 private:
  const Clock& clock_;
  std::chrono::milliseconds limit_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace worker
