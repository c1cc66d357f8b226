// Which X errors the window's handler passes over and which it hands on.
#include "platform/x11_window.h"

#include <gtest/gtest.h>
// Last: Xlib's macros (None, Bool) clash with gtest.
#include <X11/Xlib.h>
#include <X11/Xproto.h>

#if defined(SDL_VIDEO_DRIVER_X11)
namespace platform::x11 {
namespace {

int passed_on = 0;
int before(Display*, XErrorEvent*) {
  return ++passed_on;
}

TEST(X11Errors, OwnWindowErrorsMeanItIsGoneUnlessWeEndItQueriesMayFail) {
  // Ours ending, the window, error, request; passed on, ours gone.
  const std::tuple<bool, XID, unsigned char, unsigned char, bool, bool> cases[] = {
      {false, 42, BadWindow, X_ChangeProperty, false, true},
      {false, 42, BadDrawable, X_PutImage, false, true},
      {true, 42, BadWindow, X_ChangeProperty, false, false},
      {false, 42, BadMatch, X_ChangeProperty, true, false},
      {false, 7, BadWindow, X_GetGeometry, false, false},
      {false, 7, BadDrawable, X_TranslateCoords, false, false},
      {false, 7, BadWindow, X_ChangeProperty, true, false},
      {false, 7, BadAccess, X_GetProperty, true, false}};
  for (auto [ending, id, code, request, passed, gone] : cases) {
    SCOPED_TRACE(std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(request));
    XSetErrorHandler(before);
    watch_errors();
    const XErrorHandler handler = XSetErrorHandler(before);
    set_own_window(42);
    if (ending) own_window_ending();
    XErrorEvent e{};
    e.resourceid = id;
    e.error_code = code;
    e.request_code = request;
    passed_on = 0;
    handler(nullptr, &e);
    EXPECT_EQ(std::pair(passed_on == 1, is_own_window_gone()), std::pair(passed, gone));
    e.error_code = BadAccess;  // passed over once gone, and on ours while we end it
    handler(nullptr, &e);
    EXPECT_EQ(passed_on, passed + !(gone || (ending && id == 42)));
    stop_watching_errors();
  }
  XSetErrorHandler(nullptr);
}

}  // namespace
}  // namespace platform::x11
#endif
