// What the command line tells a host.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/midi.h"
#include "platform/script.h"
#include "platform/volume.h"

namespace platform {

struct HostOptions {
  std::optional<LocalTime> start_time;  // the program's local clock at start
  std::optional<std::vector<ScriptCommand>> script;
  int scale = 0;                        // 0: the largest that fits the desktop
  bool fullscreen = false;
  // The MIDI output; when null the headless host records, the SDL host has none.
  std::shared_ptr<MidiOut> midi;
  // The level F7, F8 and F9 set in a window.
  std::shared_ptr<Volume> volume = std::make_shared<Volume>();
};

// The system's local time now.
LocalTime system_local_time();
// `t` moved on by `ms` milliseconds (calendar-correct, no time zones).
LocalTime add_millis(const LocalTime& t, std::uint64_t ms);

}  // namespace platform
