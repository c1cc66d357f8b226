// The little of X11 beneath SDL that the window thread needs, in a file of
// its own: Xlib's macros (None, Expose, KeyPress) clash with our names.
#pragma once

#include <SDL.h>

namespace platform::x11 {

// The display connection's descriptor and the window's id of an SDL window
// on X11; false on any other video driver.
bool connection(SDL_Window* window, int* fd, unsigned long* xid);

// Whether a window-system message (SDL_SYSWMEVENT) says window `xid` is gone.
bool destroyed(const SDL_SysWMmsg* msg, unsigned long xid);

// SDL waits for a window to be unmapped when it hides it, and hides it
// before destroying it; a window destroyed from outside is never unmapped
// again (after its unmapping SDL may have been told it is shown). Queues
// the notice SDL waits for.
void release_hide_wait(SDL_Window* window);

// Xlib ends the process on any X error unless told otherwise. Passed over:
// errors that name the program's own window while we destroy it; every
// error once the window has been destroyed from outside (SDL goes on with
// requests for it, some built from replies that never came and naming any
// id); questions about a window that has gone meanwhile. Everything else
// goes on to the handler before. Watch before the video subsystem starts
// (SDL's handler calls on to ours) and stop after it has ended.
void watch_errors();
void stop_watching_errors();
void set_own_window(unsigned long xid);  // 0: none
void own_window_ending();                // we are destroying it
void own_window_gone();                  // destroyed from outside
// Whether it was destroyed from outside, as told or as an error showed.
bool is_own_window_gone();

}  // namespace platform::x11
