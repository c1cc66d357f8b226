// xgrab WINDOW_ID FILE.png [--match|--centred REFERENCE.png]: saves what an
// X window shows; with --match, exits 0 only when the window is the
// reference picture at a whole-number scale, else 3; with --centred, only
// when it shows the reference at the largest whole-number scale that fits,
// centred, with black around it. Exits 1 without a word while the window
// cannot be read (not mapped yet, or gone).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/surface.h"

namespace {
int quiet(Display*, XErrorEvent*) {
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: xgrab WINDOW_ID FILE.png [--match|--centred REFERENCE.png]\n");
    return 2;
  }
  const bool centred = argc == 5 && std::string(argv[3]) == "--centred";
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  XSetErrorHandler(&quiet);
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
  int scale = std::min(shot.width() / ref.width(), shot.height() / ref.height());
  if (scale < 1) return 3;
  int left = 0, top = 0;
  if (centred) {
    left = (shot.width() - ref.width() * scale) / 2;
    top = (shot.height() - ref.height() * scale) / 2;
  } else if (shot.width() != ref.width() * scale || shot.height() != ref.height() * scale) {
    return 3;
  }
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      int rx = x - left, ry = y - top;
      bool inside = rx >= 0 && ry >= 0 && rx < ref.width() * scale && ry < ref.height() * scale;
      platform::Rgb want = inside ? ref.get(rx / scale, ry / scale) : 0;
      if (shot.get(x, y) != want) return 3;
    }
  }
  return 0;
}
