// The window and its messages: the stand-in for the window system the
// runtime was written for. Two implementations: SdlHost and HeadlessHost.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/midi.h"
#include "platform/surface.h"

namespace platform {

struct LocalTime {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

struct WindowSpec {
  std::string caption;     // UTF-8
  int client_width = 640;  // the picture, in pixels
  int client_height = 504;
};

// Receives the window's events; the runtime's window procedure.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void on_event(const Event& event) = 0;
};

// Script commands that need to look above the platform layer.
class ScriptHooks {
 public:
  virtual ~ScriptHooks() = default;
  // Writes the text grid as UTF-8; false with a message on failure.
  virtual bool save_text(const std::string& path, std::string* error) = 0;
  // Writes stored layout 1; false with a message on failure.
  virtual bool save_layout(const std::string& path, std::string* error) = 0;
  // True when the text grid shows `text` (UTF-8) at (row, col); else a message.
  virtual bool expect_text(int row, int col, const std::string& text, std::string* error) = 0;
};

enum class BoxIcon : std::uint8_t { Error, Warning };

class Host {
 public:
  virtual ~Host() = default;

  // Opens the window; false with a message when it cannot be done.
  virtual bool create_window(const WindowSpec& setup, std::string* error) = 0;
  // The picture the player sees: the client area, 640x504.
  virtual Surface& picture() = 0;
  // The picture changed; the host presents it when it sees fit.
  virtual void picture_changed() = 0;
  // Hands waiting events to `sink`; never blocks. False once the program
  // must end (the window was closed, a signal, or the script said so).
  virtual bool pump(EventSink& sink) = 0;
  // The program asked for input and found nothing new.
  virtual void input_idle() = 0;
  // The millisecond clock (timeGetTime).
  virtual std::uint32_t millis() = 0;
  virtual LocalTime local_time() = 0;
  virtual void beep() = 0;
  // The MIDI output behind the multimedia stand-in (none unless a host has one).
  virtual MidiOut& midi();
  virtual void message_box(const std::string& caption, const std::string& text, BoxIcon icon) = 0;
  // The exit code the host asks for when pump() returned false.
  virtual int quit_code() const { return 0; }
  virtual void set_script_hooks(ScriptHooks* hooks) = 0;
};

// Ends the program through the next pump (SIGINT, SIGTERM).
void request_quit_from_signal();
bool quit_requested_by_signal();
void clear_quit_request();

}  // namespace platform
