// xgrab WINDOW_ID FILE.png [--match REFERENCE.png]: saves what an X window
// shows; with --match, exits 0 only when the window shows the reference
// picture (at any whole-number scale), else 3.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/surface.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: xgrab WINDOW_ID FILE.png [--match REFERENCE.png]\n");
    return 2;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  Window w = std::strtoul(argv[1], nullptr, 0);
  XWindowAttributes attr;
  if (!XGetWindowAttributes(d, w, &attr)) return 1;
  XImage* img = XGetImage(d, w, 0, 0, attr.width, attr.height, AllPlanes, ZPixmap);
  if (!img) return 1;
  platform::Surface shot(attr.width, attr.height);
  for (int y = 0; y < attr.height; ++y) {
    for (int x = 0; x < attr.width; ++x) shot.row(y)[x] = XGetPixel(img, x, y) & 0xFFFFFF;
  }
  XDestroyImage(img);
  XCloseDisplay(d);
  std::string err;
  if (!platform::save_png(shot, argv[2], &err)) {
    std::fprintf(stderr, "xgrab: %s\n", err.c_str());
    return 1;
  }
  if (argc == 3) return 0;
  platform::Surface ref;
  if (!platform::load_png(argv[4], &ref, &err)) {
    std::fprintf(stderr, "xgrab: %s\n", err.c_str());
    return 1;
  }
  int scale = shot.width() / ref.width();
  if (scale < 1 || shot.width() != ref.width() * scale || shot.height() != ref.height() * scale) return 3;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (shot.get(x, y) != ref.get(x / scale, y / scale)) return 3;
    }
  }
  return 0;
}
