#include "platform/headless_host.h"

#include <iostream>

namespace platform {

HeadlessHost::HeadlessHost(HostOptions options)
    : options_(std::move(options)),
      midi_(options_.midi ? options_.midi : std::make_shared<MidiRecorder>()),
      start_(options_.start_time ? *options_.start_time : system_local_time()) {
  if (options_.script) runner_.emplace(*options_.script);
}

bool HeadlessHost::create_window(const WindowSpec& setup, std::string* error) {
  if (setup.client_width <= 0 || setup.client_height <= 0) {
    if (error) *error = "window of no size";
    return false;
  }
  spec_ = setup;
  picture_ = Surface(setup.client_width, setup.client_height);
  return true;
}

void HeadlessHost::set_script_hooks(ScriptHooks* hooks) {
  if (runner_) runner_->set_hooks(hooks);
}

bool HeadlessHost::pump(EventSink& sink) {
  ++pumps_;
  if (closed_) return false;
  if (quit_requested_by_signal()) {
    closed_ = true;
    return false;
  }
  batch_.clear();
  if (runner_) {
    runner_->step(now_, picture_, batch_);
    if (auto code = runner_->failure_code()) {
      quit_code_ = *code;
      closed_ = true;
      return false;
    }
  }
  while (!queued_.empty()) {
    batch_.push_back(queued_.front());
    queued_.pop_front();
  }
  for (const Event& e : batch_) {
    sink.on_event(e);
    if (e.type == Event::Type::Close) {
      closed_ = true;
      return false;
    }
  }
  return true;
}

void HeadlessHost::beep() {
  ++beeps_;
  midi_->beep();
}

void HeadlessHost::input_idle() {
  ++idles_;
  ++now_;  // waiting for input lets time pass
  if (runner_) {
    runner_->note_idle();
  } else {
    // Nobody will ever answer: close the window rather than wait for ever.
    Event close;
    close.type = Event::Type::Close;
    queued_.push_back(close);
  }
}

LocalTime HeadlessHost::local_time() { return add_millis(start_, now_); }

void HeadlessHost::message_box(const std::string& caption, const std::string& text, BoxIcon) {
  boxes_.push_back(caption + ": " + text);
  std::cerr << caption << ": " << text << "\n";
}

}  // namespace platform
