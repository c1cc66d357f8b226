#include "runtime/runtime.h"

namespace rt {

Runtime::Runtime(platform::Host& host, platform::Registry& registry) : Frame(host, registry) {}

void Runtime::start_areas() {
  int w = form().client_width();
  int h = form().client_height();
  if (w <= 0 || h <= 0) {  // started without a form: the window's own size
    w = host().picture().width();
    h = host().picture().height();
  }
  start_screen(w, h);
  start_text(w, h);
  start_input();
  start_values();
}

}  // namespace rt
