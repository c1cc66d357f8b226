// Keys, mouse, clock, random numbers, BEEP and library calls by name.
#pragma once

#include <string>

#include "platform/events.h"

namespace rt {

class Runtime;

class Input {
 public:
  std::string INKEY(int window);

  // The window procedure's share: key and mouse events.
  void on_input_event(const platform::Event& event);
  void clear_key_buffer();

 protected:
  void start_input();
  Runtime& rt();
};

}  // namespace rt
