// A host without a window: a virtual millisecond clock that moves on as the
// program reads it or waits for input, and events from a script. Without a
// script, the window closes as soon as the program waits for input.
#pragma once

#include <deque>
#include <optional>

#include "platform/host.h"
#include "platform/host_options.h"
#include "platform/script.h"

namespace platform {

class HeadlessHost : public Host {
 public:
  explicit HeadlessHost(HostOptions options = {});

  bool create_window(const WindowSpec& setup, std::string* error) override;
  Surface& picture() override { return picture_; }
  void picture_changed() override { ++changes_; }
  bool pump(EventSink& sink) override;
  void input_idle() override;
  std::uint32_t millis() override { return now_++; }
  LocalTime local_time() override;
  void beep() override;
  MidiOut& midi() override { return *midi_; }
  void message_box(const std::string& caption, const std::string& text, BoxIcon icon) override;
  int quit_code() const override { return quit_code_; }
  void set_script_hooks(ScriptHooks* hooks) override;

  // For tests: an event handed out at the next pump, the clock, counters.
  void push_event(const Event& e) { queued_.push_back(e); }
  void advance(std::uint32_t ms) { now_ += ms; }
  std::uint32_t now() const { return now_; }
  int pumps() const { return pumps_; }
  int beeps() const { return beeps_; }
  int idles() const { return idles_; }
  long changes() const { return changes_; }
  const WindowSpec& window() const { return spec_; }
  const std::vector<std::string>& boxes() const { return boxes_; }
  // The recorder behind midi(), or null when the device is another.
  MidiRecorder* recorder() { return dynamic_cast<MidiRecorder*>(midi_.get()); }

 private:
  HostOptions options_;
  std::shared_ptr<MidiOut> midi_;
  WindowSpec spec_;
  Surface picture_;
  std::optional<ScriptRunner> runner_;
  std::deque<Event> queued_;
  std::vector<Event> batch_;
  std::uint32_t now_ = 0;
  LocalTime start_;
  int pumps_ = 0;
  int beeps_ = 0;
  int idles_ = 0;
  long changes_ = 0;
  int quit_code_ = 0;
  bool closed_ = false;
  std::vector<std::string> boxes_;
};

}  // namespace platform
