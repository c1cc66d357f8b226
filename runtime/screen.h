// The graphics screen of the main window: the picture, the backing bitmap,
// the palette and the graphics statements.
#pragma once

#include <array>

#include "platform/surface.h"

namespace rt {

class Runtime;

class Screen {
 public:
  // The window's picture (what the player sees) and the backing bitmap.
  platform::Surface& picture();
  platform::Surface& backing() { return backing_; }
  int screen_width() const { return backing_.width(); }
  int screen_height() const { return backing_.height(); }

  // Copies the backing bitmap to the window and draws the text over it.
  void repaint_window();

  // Palette entry 0..15 as a colour; the current foreground and background
  // colour numbers (the text layer draws in the foreground).
  platform::Rgb palette_rgb(int entry) const { return palette_[static_cast<std::size_t>(entry & 15)]; }
  int foreground() const { return foreground_; }
  int background() const { return background_; }

 protected:
  void start_screen(int width, int height);
  Runtime& rt();

 private:
  platform::Surface backing_;
  std::array<platform::Rgb, 16> palette_{};
  int foreground_ = 15;
  int background_ = 0;
};

}  // namespace rt
