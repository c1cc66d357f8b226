#include <csignal>
#include <ctime>

#include "platform/host_options.h"

namespace platform {

namespace {
volatile std::sig_atomic_t g_quit_signal = 0;
}

void request_quit_from_signal() { g_quit_signal = 1; }
bool quit_requested_by_signal() { return g_quit_signal != 0; }
void clear_quit_request() { g_quit_signal = 0; }

MidiOut& Host::midi() {
  static NoMidi none;
  return none;
}

LocalTime system_local_time() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalTime add_millis(const LocalTime& t, std::uint64_t ms) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  std::time_t base = timegm(&tm);
  std::time_t moved = base + static_cast<std::time_t>(ms / 1000);
  std::tm out{};
  gmtime_r(&moved, &out);
  return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec};
}

}  // namespace platform
