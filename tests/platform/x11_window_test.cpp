// Which X errors the window's handler passes over and which go on to the
// handler that was there before.
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
  const struct {
    bool ending;
    unsigned long id;
    unsigned char code, request;
    bool passed, gone;
  } cases[] = {{false, 42, BadWindow, X_ChangeProperty, false, true},
               {false, 42, BadDrawable, X_PutImage, false, true},
               {true, 42, BadWindow, X_ChangeProperty, false, false},
               {false, 42, BadMatch, X_ChangeProperty, true, false},
               {false, 7, BadWindow, X_GetGeometry, false, false},
               {false, 7, BadDrawable, X_TranslateCoords, false, false},
               {false, 7, BadWindow, X_ChangeProperty, true, false},
               {false, 7, BadAccess, X_GetProperty, true, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code) * 1000 + c.request);
    XSetErrorHandler(before);
    watch_errors();
    const XErrorHandler handler = XSetErrorHandler(before);
    set_own_window(42);
    if (c.ending) own_window_ending();
    XErrorEvent e{};
    e.resourceid = c.id;
    e.error_code = c.code;
    e.request_code = c.request;
    passed_on = 0;
    handler(nullptr, &e);
    EXPECT_EQ(std::pair(passed_on == 1, is_own_window_gone()), std::pair(c.passed, c.gone));
    e.error_code = BadAccess;  // passed over once gone, and on our own window while we end it
    handler(nullptr, &e);
    EXPECT_EQ(passed_on, c.passed + !(c.gone || (c.ending && c.id == 42)));
    stop_watching_errors();
  }
  XSetErrorHandler(nullptr);
}

}  // namespace
}  // namespace platform::x11
#endif
