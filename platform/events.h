// Window events as the hosts report them to the runtime's window procedure.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class Key : std::uint8_t {
  None,
  Char,  // a printable key; its lower-case character is in Event::ch
  Enter,
  Escape,
  Backspace,
  Tab,
  Space,
  Left,
  Right,
  Up,
  Down,
  Home,
  End,
  PageUp,
  PageDown,
  Insert,
  Delete,
  Clear,
  Execute,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
  Shift,
  Ctrl,
  Alt,
  Other,
};

enum class MouseButton : std::uint8_t { Left = 0, Right = 1 };

struct Event {
  enum class Type : std::uint8_t {
    Close,        // the window was closed
    Expose,       // the client area must be repainted
    KeyDown,
    KeyUp,
    Text,         // typed text, UTF-8
    MouseMove,
    MouseDown,
    MouseUp,
    MouseDoubleClick,
  };
  Type type = Type::Close;
  Key key = Key::None;
  char32_t ch = 0;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  std::string text;
  int x = 0;  // client pixels of the 640x504 picture, origin top-left
  int y = 0;
  MouseButton button = MouseButton::Left;
};

// Name of a key as scripts spell it ("Enter", "F5", "Ctrl+C"), for messages.
std::string key_name(Key key);

}  // namespace platform
