// xclose WINDOW_ID [--destroy]: asks a window to close, as a window manager
// would; with --destroy, destroys it from outside instead.
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Display* d = XOpenDisplay(NULL);
  if (!d) return 1;
  Window w = strtoul(argv[1], NULL, 0);
  if (argc > 2 && strcmp(argv[2], "--destroy") == 0) {
    XDestroyWindow(d, w);
  } else {
    XEvent e = {0};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", True);
    e.xclient.format = 32;
    e.xclient.data.l[0] = XInternAtom(d, "WM_DELETE_WINDOW", False);
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
  }
  XSync(d, False);
  XCloseDisplay(d);
  return 0;
}
