#include "runtime/screen.h"

#include "runtime/runtime.h"

namespace rt {

platform::Surface& Screen::picture() { return rt().host().picture(); }

void Screen::start_screen(int width, int height) { backing_ = platform::Surface(width, height); }

void Screen::repaint_window() {
  picture() = backing_;
  rt().repaint_text();
  rt().host().picture_changed();
}

}  // namespace rt
