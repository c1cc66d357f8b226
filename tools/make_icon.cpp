// make_icon SIZE FILE.png: writes the program's icon for the desktop.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon SIZE FILE.png\n");
    return 2;
  }
  int size = std::atoi(argv[1]);
  if (size < 16 || size > 1024) return 2;
  platform::Icon icon = platform::walk_icon(size);
  // PNG with transparency: write RGBA by hand through the surface writer's sibling.
  std::string err;
  if (!platform::save_png_rgba(icon.pixels, icon.alpha, argv[2], &err)) {
    std::fprintf(stderr, "make_icon: %s\n", err.c_str());
    return 1;
  }
  return 0;
}
