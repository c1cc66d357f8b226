// A program that reads the millisecond clock over and over with nothing
// else happening is waiting for it to move on (a busy wait). Once such a
// read would give the same millisecond a third time in a row, it sleeps
// until the next millisecond starts, or until input arrives, instead of
// spinning. The program sees the same values in the same order as with a
// busy poll; it only sees each one fewer times.
#pragma once

#include <sys/prctl.h>

#include <chrono>
#include <cstdint>

namespace platform {

class ClockPacer {
 public:
  using Duration = std::chrono::nanoseconds;

  // `since_start()` is the time since the clock's zero, as a Duration.
  // `sleep_until(t)` blocks until since_start() >= t or until input
  // arrives, whichever comes first.
  template <class SinceStart, class SleepUntil>
  std::uint32_t read(SinceStart since_start, SleepUntil sleep_until) {
    std::int64_t ms = millis_of(since_start());
    if (ms == last_ && repeats_ >= kReadsBeforeSleep) {
      ++sleeps_;
      sleep_until(Duration(std::chrono::milliseconds(ms + 1)));
      ms = millis_of(since_start());
    }
    repeats_ = ms == last_ ? repeats_ + 1 : 1;
    last_ = ms;
    return static_cast<std::uint32_t>(ms);
  }

  // Something other than a clock read happened (input, drawing): the
  // next reads start counting again.
  void activity() { repeats_ = 0; }

  // How many reads slept, for measurements.
  long sleeps() const { return sleeps_; }

 private:
  // A wait reads the clock once for its start and then polls: the start
  // read must never sleep, or the wait would start a millisecond late.
  static constexpr int kReadsBeforeSleep = 2;

  static std::int64_t millis_of(Duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
  }

  std::int64_t last_ = -1;
  int repeats_ = 0;
  long sleeps_ = 0;
};

// Sleeps of the calling thread end within a microsecond of their time, not
// the default 50 us later: a clock poll that sleeps must not cost the wait.
inline void use_tight_timer_slack() {
  static thread_local const bool done = prctl(PR_SET_TIMERSLACK, 1UL) == 0;
  (void)done;
}

}  // namespace platform
