// The BASIC runtime: one object whose statements the game calls. Each area
// (frame, screen, text, input, values) lives in its own file pair.
#pragma once

#include "platform/host.h"
#include "platform/registry.h"
#include "runtime/errors.h"
#include "runtime/frame.h"
#include "runtime/input.h"
#include "runtime/screen.h"
#include "runtime/text.h"
#include "runtime/values.h"

namespace rt {

class Runtime : public Frame, public Screen, public Text, public Input, public Values {
 public:
  Runtime(platform::Host& host, platform::Registry& registry);
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Brings up every area once the window exists.
  void start_areas();
};

inline Runtime& Frame::rt() { return static_cast<Runtime&>(*this); }
inline Runtime& Screen::rt() { return static_cast<Runtime&>(*this); }
inline Runtime& Text::rt() { return static_cast<Runtime&>(*this); }
inline Runtime& Input::rt() { return static_cast<Runtime&>(*this); }
inline Runtime& Values::rt() { return static_cast<Runtime&>(*this); }

}  // namespace rt
