#include "runtime/input.h"

#include "runtime/runtime.h"

namespace rt {

void Input::start_input() {}

std::string Input::INKEY(int window) {
  rt().check_window(window, Op::Inkey);
  rt().note_poll(0x100, -1);
  return {};
}

void Input::on_input_event(const platform::Event&) {}

void Input::clear_key_buffer() {}

}  // namespace rt
