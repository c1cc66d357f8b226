// The script reader on any text: commands, or a message naming the line.
// Commands it accepts then play to the end against a program that is always
// idle, in a bounded number of steps, and the window is closed at the end.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/script.h"
#include "platform/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto commands = platform::parse_script(text, &error);
  if (!commands) {
    if (error.rfind("line ", 0) != 0) std::abort();
    return 0;
  }

  using Op = platform::ScriptCommand::Op;
  std::size_t budget = 8;
  int last_line = 0;
  for (platform::ScriptCommand& c : *commands) {
    if (c.line <= last_line) std::abort();
    last_line = c.line;
    if (c.op == Op::Key && c.key == platform::Key::None) std::abort();
    if (c.op == Op::Expect && (c.a < 0 || c.a > 27 || c.b < 0 || c.b > 79)) std::abort();
    if (c.op == Op::Wait && c.a < 0) std::abort();
    // Files are not written here: a shot becomes an idle.
    if (c.op == Op::Shot) c.op = Op::Idle;
    budget += 6;  // a drag's four primitives, each after an idle, is the longest
  }

  platform::ScriptRunner runner(std::move(*commands));
  platform::Surface picture(8, 8);
  std::vector<platform::Event> events;
  std::uint32_t now = 0;
  bool closed = false;
  for (std::size_t step = 0; step < budget && !closed && !runner.failure_code(); ++step) {
    events.clear();
    runner.step(now, picture, events);
    for (const platform::Event& e : events) closed |= e.type == platform::Event::Type::Close;
    runner.note_idle();
    now += 1u << 31;  // any wait is over after two steps
  }
  if (!closed && !runner.failure_code()) std::abort();
  return 0;
}
