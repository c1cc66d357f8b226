// Scripts that drive the program: one command a line, '#' starts a comment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/events.h"
#include "platform/host.h"
#include "platform/surface.h"

namespace platform {

struct ScriptCommand {
  enum class Op : std::uint8_t {
    Wait, Idle, Key, Type, Move, Press, Release, Click, Drag, Shot, Text, Layout, Expect, Close
  };
  Op op = Op::Idle;
  int line = 0;          // line in the script file
  std::string arg;       // file name, typed text, or expected text
  int a = 0, b = 0, c = 0, d = 0;
  MouseButton button = MouseButton::Left;
  Key key = Key::None;   // for Op::Key
  char32_t ch = 0;       // for a one-character key
  bool ctrl = false;     // Ctrl held with the key
};

// Parses a script. On a bad line returns nullopt and sets `error` to a
// message naming the line.
std::optional<std::vector<ScriptCommand>> parse_script(std::string_view text, std::string* error);

// Parses a key name as scripts spell it. False for an unknown name.
bool parse_key_name(std::string_view name, ScriptCommand* out);

// The input an input command hands out: groups of events, one group per
// time the program asks for input.
std::vector<std::vector<Event>> input_primitives(const ScriptCommand& cmd);

// Plays a script against a clock. Input events are handed out one at a time,
// each only after the program has been idle since the previous one, so a
// polling program sees every press and release. Snapshots (shot, text,
// layout, expect) wait until the program has been idle since the last input,
// unless a wait has passed since it, so they show that input's effect.
class ScriptRunner {
 public:
  explicit ScriptRunner(std::vector<ScriptCommand> commands);

  void set_hooks(ScriptHooks* hooks) { hooks_ = hooks; }
  // The program asked for input and found nothing new.
  void note_idle();
  // Runs every command that is ready at `now`; appends events to `out`.
  void step(std::uint32_t now, const Surface& picture, std::vector<Event>& out);
  // The script asks the program to end with this exit code (expect failed,
  // a file could not be written).
  std::optional<int> failure_code() const { return failure_code_; }
  bool finished() const { return next_ >= commands_.size(); }
  // Idle since the last input event was handed out; used by hosts to pace.
  bool idle_since_input() const { return idle_since_input_; }

 private:
  void fail(const ScriptCommand& cmd, const std::string& message);

  std::vector<ScriptCommand> commands_;
  std::size_t next_ = 0;
  ScriptHooks* hooks_ = nullptr;
  std::optional<std::uint32_t> deadline_;
  bool idle_fresh_ = false;        // idle seen since the current command began
  bool idle_since_input_ = false;  // idle seen since the last input event
  bool close_sent_ = false;
  bool input_sent_ = false;
  bool settled_ = true;  // idle, or a wait passed, since the last input
  std::vector<std::vector<Event>> pending_;  // primitives of the current command
  std::size_t pending_next_ = 0;
  bool expanded_ = false;
  std::optional<int> failure_code_;
};

}  // namespace platform
