#include "platform/x11_window.h"

#include <SDL_syswm.h>
#include <X11/Xproto.h>

#include <atomic>

namespace platform::x11 {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

std::atomic<unsigned long> g_own{0};
std::atomic<bool> g_ending{false};
std::atomic<bool> g_gone{false};
XErrorHandler g_before = nullptr;
bool g_watching = false;

// A question about a window: when the window has gone meanwhile (another
// client's, such as the manager's frame round ours), there is simply no
// answer, and SDL copes with that.
bool is_query(unsigned char request) {
  switch (request) {
    case X_GetWindowAttributes:
    case X_GetGeometry:
    case X_QueryTree:
    case X_GetProperty:
    case X_QueryPointer:
    case X_TranslateCoords:
      return true;
    default:
      return false;
  }
}

int on_error(Display* display, XErrorEvent* e) {
  if (g_gone.load()) return 0;
  const unsigned long own = g_own.load();
  if (own != 0 && e->resourceid == own) {
    if (g_ending.load()) return 0;
    // Our own id is never wrong: not a window any more means destroyed.
    if (e->error_code == BadWindow || e->error_code == BadDrawable) {
      g_gone.store(true);
      return 0;
    }
  }
  if ((e->error_code == BadWindow || e->error_code == BadDrawable) && is_query(e->request_code))
    return 0;
  return g_before ? g_before(display, e) : 0;
}

}  // namespace

bool connection(SDL_Window* window, int* fd, unsigned long* xid) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  *fd = XConnectionNumber(info.info.x11.display);
  *xid = info.info.x11.window;
  return true;
}

bool destroyed(const SDL_SysWMmsg* msg, unsigned long xid) {
  return msg && msg->subsystem == SDL_SYSWM_X11 && msg->msg.x11.event.type == DestroyNotify &&
         msg->msg.x11.event.xdestroywindow.window == xid;
}

void release_hide_wait(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  XEvent e{};
  e.xunmap.type = UnmapNotify;
  e.xunmap.display = info.info.x11.display;
  e.xunmap.event = info.info.x11.window;
  e.xunmap.window = info.info.x11.window;
  XPutBackEvent(info.info.x11.display, &e);
}

void watch_errors() {
  if (g_watching) return;
  g_watching = true;
  g_own.store(0);
  g_ending.store(false);
  g_gone.store(false);
  g_before = XSetErrorHandler(&on_error);
}

void stop_watching_errors() {
  if (!g_watching) return;
  XSetErrorHandler(g_before);
  g_watching = false;
  g_own.store(0);
}

void set_own_window(unsigned long xid) {
  g_own.store(xid);
}
void own_window_ending() {
  g_ending.store(true);
}
void own_window_gone() {
  g_gone.store(true);
}
bool is_own_window_gone() {
  return g_gone.load();
}

#else

bool connection(SDL_Window*, int*, unsigned long*) {
  return false;
}
bool destroyed(const SDL_SysWMmsg*, unsigned long) {
  return false;
}
void release_hide_wait(SDL_Window*) {}
void watch_errors() {}
void stop_watching_errors() {}
void set_own_window(unsigned long) {}
void own_window_ending() {}
void own_window_gone() {}
bool is_own_window_gone() {
  return false;
}

#endif

}  // namespace platform::x11
