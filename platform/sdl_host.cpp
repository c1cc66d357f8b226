#include "platform/sdl_host.h"

#include <SDL.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <iostream>

#include "platform/icon.h"
#include "platform/sound_keys.h"
#include "platform/x11_window.h"
#include "platform/xdg.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// The keypad's keys as the cursor and editing keys they double as.
Key keypad_key(SDL_Keycode k) {
  switch (k) {
    case SDLK_KP_7:
      return Key::Home;
    case SDLK_KP_8:
      return Key::Up;
    case SDLK_KP_9:
      return Key::PageUp;
    case SDLK_KP_4:
      return Key::Left;
    case SDLK_KP_5:
      return Key::Clear;
    case SDLK_KP_6:
      return Key::Right;
    case SDLK_KP_1:
      return Key::End;
    case SDLK_KP_2:
      return Key::Down;
    case SDLK_KP_3:
      return Key::PageDown;
    case SDLK_KP_0:
      return Key::Insert;
    case SDLK_KP_PERIOD:
      return Key::Delete;
    default:
      return Key::None;
  }
}

}  // namespace

Key translate_sdl_key(std::int32_t sym, std::uint16_t mod) {
  // Shift turns the keypad's meaning over, as the window system does.
  const bool digits = ((mod & KMOD_NUM) != 0) != ((mod & KMOD_SHIFT) != 0);
  if (!digits) {
    if (Key k = keypad_key(sym); k != Key::None) return k;
  }
  switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Key::Enter;
    case SDLK_ESCAPE:
      return Key::Escape;
    case SDLK_BACKSPACE:
      return Key::Backspace;
    case SDLK_TAB:
      return Key::Tab;
    case SDLK_SPACE:
      return Key::Space;
    case SDLK_LEFT:
      return Key::Left;
    case SDLK_RIGHT:
      return Key::Right;
    case SDLK_UP:
      return Key::Up;
    case SDLK_DOWN:
      return Key::Down;
    case SDLK_HOME:
      return Key::Home;
    case SDLK_END:
      return Key::End;
    case SDLK_PAGEUP:
      return Key::PageUp;
    case SDLK_PAGEDOWN:
      return Key::PageDown;
    case SDLK_INSERT:
      return Key::Insert;
    case SDLK_DELETE:
      return Key::Delete;
    case SDLK_CLEAR:
    case SDLK_KP_CLEAR:
      return Key::Clear;
    case SDLK_EXECUTE:
      return Key::Execute;
    case SDLK_F1:
      return Key::F1;
    case SDLK_F2:
      return Key::F2;
    case SDLK_F3:
      return Key::F3;
    case SDLK_F4:
      return Key::F4;
    case SDLK_F5:
      return Key::F5;
    case SDLK_F6:
      return Key::F6;
    case SDLK_F7:
      return Key::F7;
    case SDLK_F8:
      return Key::F8;
    case SDLK_F9:
      return Key::F9;
    case SDLK_F10:
      return Key::F10;
    case SDLK_F11:
      return Key::F11;
    case SDLK_F12:
      return Key::F12;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return Key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return Key::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT:
      return Key::Alt;
    default:
      break;
  }
  if (sym >= 0x21 && sym < 0x7F) return Key::Char;
  return Key::Other;
}

std::string pictures_dir() {
  namespace fs = std::filesystem;
  if (const char* p = std::getenv("XDG_PICTURES_DIR"); p && *p == '/' && fs::is_directory(p))
    return p;
  const char* home = std::getenv("HOME");
  if (home && *home) {
    std::string cfg = std::string(home) + "/.config/user-dirs.dirs";
    if (std::FILE* f = std::fopen(cfg.c_str(), "r")) {
      char line[512];
      std::string found;
      while (std::fgets(line, sizeof line, f)) {
        std::string s(line);
        const std::string key = "XDG_PICTURES_DIR=\"";
        if (s.rfind(key, 0) != 0) continue;
        std::string v = s.substr(key.size());
        v = v.substr(0, v.find('"'));
        if (v.rfind("$HOME", 0) == 0) v = std::string(home) + v.substr(5);
        found = v;
      }
      std::fclose(f);
      if (!found.empty() && fs::is_directory(found)) return found;
    }
    std::string def = std::string(home) + "/Pictures";
    if (fs::is_directory(def)) return def;
  }
  return ".";
}

namespace {

double ms_between(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

// The window thread: it owns every SDL video object and is the only thread
// that talks to the window system. It sleeps until the window system sends
// something or the program hands over a picture, asks for a message box or
// ends; the program wakes it through a descriptor of its own, never through
// SDL, so nothing reaches the window from another thread or connection while
// the thread is destroying it. The picture goes into the window's own
// surface, scaled by a whole number and centred on black, and only the rows
// that changed are sent to the display: no 3D driver is loaded, so the window
// appears quickly, and a step of the walker costs a few rows.
class SdlHost::Window {
 public:
  Window(SdlHost& host, const WindowSpec& setup)
      : host_(host), setup_(setup), wake_fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~Window() {
    stop();
    if (wake_fd_ >= 0) close(wake_fd_);
  }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Starts the thread and waits until the window is made, or is not.
  bool start(std::string* error) {
    if (wake_fd_ < 0) {
      if (error) *error = std::string("cannot start the window: ") + std::strerror(errno);
      return false;
    }
    std::promise<std::string> made;
    std::future<std::string> result = made.get_future();
    thread_ = std::thread([this, &made] { run(made); });
    std::string why = result.get();
    if (why.empty()) return true;
    if (error) *error = why;
    stop();
    return false;
  }

  void stop() {
    if (!thread_.joinable()) return;
    stopping_.store(true);
    wake();
    thread_.join();
  }

  // Wakes the thread (any thread may call it).
  void wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_fd_, &one, sizeof one);
  }

  // Shows a message box over the window from the window thread and waits
  // until it is answered; false when it could not be shown.
  bool show_box(const std::string& caption, const std::string& text, Uint32 flags) {
    std::unique_lock<std::mutex> lock(box_mutex_);
    if (!running_) return false;
    box_ = Box{caption, text, flags, false, false};
    wake();
    box_answered_.wait(lock, [this] { return box_->answered; });
    bool shown = box_->shown;
    box_.reset();
    return shown;
  }

 private:
  static constexpr std::chrono::milliseconds kFitWait{1000};
  static constexpr int kConnectAttempts = 5;
  static constexpr int kConnectRetryMs = 25;  // doubled after every attempt
  // Without the display connection's descriptor to wait on, the window
  // system is looked at this often.
  static constexpr std::chrono::milliseconds kLookInterval{4};

  // Where the picture sits in the window: whole-number scale and offset.
  struct Placement {
    int scale = 1, x = 0, y = 0;
  };

  struct Box {
    std::string caption, text;
    Uint32 flags = 0;
    bool answered = false, shown = false;
  };

  void run(std::promise<std::string>& made) {
    pthread_setname_np(pthread_self(), "pw-window");  // for profilers and measurements
    std::string why;
    if (!make(&why)) {
      destroy();
      SDL_TLSCleanup();  // SDL frees its per-thread data only for its own threads
      made.set_value(why.empty() ? "cannot open a window" : why);
      return;
    }
    // The first picture before the program goes on: its start-up would
    // compete with it.
    present(true);
    {
      std::lock_guard<std::mutex> lock(box_mutex_);
      running_ = true;
    }
    made.set_value("");
    for (;;) {
      SDL_Event ev;
      while (SDL_PollEvent(&ev)) handle(ev);
      if (!gone_ && x11::is_own_window_gone()) window_gone();
      if (stopping_.load()) break;
      show_box_asked_for();
      if (!gone_) {
        if (fit_until_) fit_to_frame();
        present(redraw_);
      }
      wait(fit_until_ ? std::chrono::milliseconds(5) : std::chrono::milliseconds(100));
    }
    {
      std::lock_guard<std::mutex> lock(box_mutex_);
      running_ = false;
      if (box_) box_->answered = true;
    }
    box_answered_.notify_all();
    destroy();
    SDL_TLSCleanup();
  }

  // Sleeps until the window system or the program has something, or for
  // `longest`.
  void wait(std::chrono::milliseconds longest) {
    pollfd fds[2] = {{wake_fd_, POLLIN, 0}, {x_fd_, POLLIN, 0}};
    nfds_t count = 1;
    if (x_fd_ >= 0) {
      // What came while events were handled and the picture presented may
      // already have been read from the connection: look before sleeping.
      SDL_PumpEvents();
      if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
      count = 2;
    } else {
      longest = std::min(longest, kLookInterval);
    }
    if (poll(fds, count, static_cast<int>(longest.count())) > 0 && (fds[0].revents & POLLIN)) {
      std::uint64_t n = 0;
      [[maybe_unused]] ssize_t got = read(wake_fd_, &n, sizeof n);
    }
  }

  void show_box_asked_for() {
    std::unique_lock<std::mutex> lock(box_mutex_);
    if (!box_ || box_->answered) return;
    Box asked = *box_;
    lock.unlock();
    // Over the window, unless it has gone.
    bool shown = SDL_ShowSimpleMessageBox(asked.flags, asked.caption.c_str(), asked.text.c_str(),
                                          gone_ ? nullptr : window_) == 0;
    lock.lock();
    box_->shown = shown;
    box_->answered = true;
    lock.unlock();
    box_answered_.notify_all();
  }

  // The window was destroyed from outside: as good as closed.
  void window_gone() {
    gone_ = true;
    x11::own_window_gone();
    Event e;
    e.type = Event::Type::Close;
    host_.post_event(e);
  }

  bool make(std::string* error) {
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    auto no_display = [&](const std::string& why) {
      *error = "no display available (" + why +
               "); use --headless --script FILE to run without a window";
      return false;
    };
    auto set = [](const char* name) {
      const char* v = std::getenv(name);
      return v && *v;
    };
    const bool chosen = set("SDL_VIDEODRIVER");
    const bool x11 = set("DISPLAY"), wayland = set("WAYLAND_DISPLAY");
    if (!chosen && !x11 && !wayland) {
      return no_display("neither DISPLAY nor WAYLAND_DISPLAY is set");
    }
    // Only the display the environment names: an attempt at the other one
    // can only fail, and its library says so on stderr.
    if (!chosen && x11 != wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 ? "x11" : "wayland");
    x11::watch_errors();
    // A busy display server may turn a connection away for a moment (its
    // queue of new clients is full): try again a few times before giving up.
    std::string current;
    for (int attempt = 1;; ++attempt) {
      std::string why;
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        current = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
        // SDL falls back to drivers that show nothing; only take them when asked.
        if (chosen || (current != "offscreen" && current != "dummy")) break;
        why = "only the " + current + " video driver is available";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
      } else {
        why = SDL_GetError();
      }
      if (attempt == kConnectAttempts) return no_display(why);
      SDL_Delay(static_cast<Uint32>(kConnectRetryMs << (attempt - 1)));
    }
    video_ready_ = true;
    // On X11 the window's surface is shared memory with the server; without
    // this SDL would load a 3D driver to emulate it.
    if (current == "x11" || current == "offscreen")
      SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0)
      usable = {0, 0, setup_.client_width, setup_.client_height};
    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) {
      host_.frame_period_ = std::chrono::microseconds(1000000 / mode.refresh_rate);
    }
    const bool chosen_scale = host_.options_.scale > 0;
    int scale = chosen_scale ? host_.options_.scale
                             : fitting_scale(usable.w, usable.h, kGuessFrameW, kGuessFrameH,
                                             setup_.client_width, setup_.client_height);
    bool full = host_.options_.fullscreen;
    Uint32 flags = SDL_WINDOW_RESIZABLE | (full ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    window_ =
        SDL_CreateWindow(setup_.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         setup_.client_width * scale, setup_.client_height * scale, flags);
    if (!window_) {
      *error = std::string("cannot open a window: ") + SDL_GetError();
      return false;
    }
    host_.scale_.store(scale);
    // Once the window manager tells the frame it put round the window, the
    // largest scale that fits may turn out to differ from the guess.
    if (!chosen_scale && !full) {
      fit_until_ = Clock::now() + kFitWait;
      usable_ = usable;
    }
    host_.fullscreen_.store(full);
    SDL_SetWindowMinimumSize(window_, setup_.client_width, setup_.client_height);
    set_icon();
    if (!SDL_GetWindowSurface(window_)) {
      *error = std::string("cannot draw in the window: ") + SDL_GetError();
      return false;
    }
    SDL_StartTextInput();
    // On X11 the thread sleeps on the display connection itself and learns
    // of the window's destruction from outside.
    if (x11::connection(window_, &x_fd_, &xwindow_)) {
      x11::set_own_window(xwindow_);
      SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    }
    return true;
  }

  // Sizes the window to the largest scale that fits with its real frame,
  // as soon as the frame is known; gives up waiting for it after a while.
  void fit_to_frame() {
    int top = 0, left = 0, bottom = 0, right = 0;
    bool known = SDL_GetWindowBordersSize(window_, &top, &left, &bottom, &right) == 0 &&
                 top + left + bottom + right > 0;
    if (!known) {
      if (Clock::now() > *fit_until_) fit_until_.reset();
      return;
    }
    fit_until_.reset();
    if (SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED))
      return;
    int scale = fitting_scale(usable_.w, usable_.h, left + right, top + bottom, setup_.client_width,
                              setup_.client_height);
    if (scale == host_.scale_.load()) return;
    host_.scale_.store(scale);
    const int w = setup_.client_width * scale, h = setup_.client_height * scale;
    SDL_SetWindowSize(window_, w, h);
    // The frame, not only the picture, centred in the usable area.
    SDL_SetWindowPosition(window_, usable_.x + (usable_.w - w - left - right) / 2 + left,
                          usable_.y + std::max(0, (usable_.h - h - top - bottom) / 2) + top);
    redraw_ = true;
  }

  void destroy() {
    x11::own_window_ending();
    if (window_) {
      if (gone_) x11::release_hide_wait(window_);
      SDL_DestroyWindow(window_);
    }
    window_ = nullptr;
    if (video_ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    video_ready_ = false;
    x11::stop_watching_errors();
    x_fd_ = -1;
  }

  void set_icon() {
    Icon icon = walk_icon(64);
    std::vector<Uint32> argb(icon.alpha.size());
    for (std::size_t i = 0; i < argb.size(); ++i) {
      argb[i] = (static_cast<Uint32>(icon.alpha[i]) << 24) | icon.pixels.pixels()[i];
    }
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), icon.pixels.width(), icon.pixels.height(),
                                           32, icon.pixels.width() * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return;
    SDL_SetWindowIcon(window_, s);
    SDL_FreeSurface(s);
  }

  Placement placement(int w, int h) const {
    Placement p;
    p.scale = std::max(1, std::min(w / setup_.client_width, h / setup_.client_height));
    p.x = (w - setup_.client_width * p.scale) / 2;
    p.y = (h - setup_.client_height * p.scale) / 2;
    return p;
  }

  // Picture rows [y0, y1) into the window surface at the placement `p`.
  void scale_rows(SDL_Surface* out, const Surface& in, const Placement& p, int y0, int y1) {
    const bool direct = out->format->format == SDL_PIXELFORMAT_RGB888 ||
                        out->format->format == SDL_PIXELFORMAT_ARGB8888;
    const int s = p.scale;
    const int x_first = std::max(0, -p.x) / s,
              x_end = std::min(in.width(), (out->w - p.x + s - 1) / s);
    if (x_first >= x_end) return;
    std::vector<Uint32>& line = line_;
    line.assign(static_cast<std::size_t>(out->w), 0);
    for (int y = y0; y < y1; ++y) {
      const Rgb* src = in.row(y);
      for (int x = x_first; x < x_end; ++x) {
        Uint32 c = direct ? src[x]
                          : SDL_MapRGB(out->format, (src[x] >> 16) & 255, (src[x] >> 8) & 255,
                                       src[x] & 255);
        int ox = p.x + x * s;
        for (int k = 0; k < s; ++k) {
          int px = ox + k;
          if (px >= 0 && px < out->w) line[static_cast<std::size_t>(px)] = c;
        }
      }
      const int from = std::max(0, p.x), to = std::min(out->w, p.x + in.width() * s);
      for (int k = 0; k < s; ++k) {
        int oy = p.y + y * s + k;
        if (oy < 0 || oy >= out->h) continue;
        auto* dst =
            reinterpret_cast<Uint8*>(out->pixels) + static_cast<std::ptrdiff_t>(oy) * out->pitch;
        if (out->format->BytesPerPixel == 4) {
          std::memcpy(reinterpret_cast<Uint32*>(dst) + from, line.data() + from,
                      static_cast<std::size_t>(to - from) * sizeof(Uint32));
        } else {
          for (int px = from; px < to; ++px) {
            SDL_Rect one{px, oy, 1, 1};
            SDL_FillRect(out, &one, line[static_cast<std::size_t>(px)]);
          }
        }
      }
    }
  }

  // Draws the rows handed over since the last time and shows them; with
  // `whole`, redraws the whole window (new size, exposed, first time).
  void present(bool whole) {
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    if (!out) return;
    if (out->w != last_w_ || out->h != last_h_) whole = true;
    Placement p = placement(out->w, out->h);
    rects_.clear();
    {
      std::lock_guard<std::mutex> lock(host_.frame_mutex_);
      const Surface& shown = host_.shown_;
      std::vector<std::uint8_t>& changed = host_.rows_changed_;
      if (!host_.frame_waiting_ && !whole) return;
      if (SDL_MUSTLOCK(out)) SDL_LockSurface(out);
      if (whole) SDL_FillRect(out, nullptr, SDL_MapRGB(out->format, 0, 0, 0));
      const int h = shown.height();
      long rows = 0;
      for (int y = 0; y < h;) {
        if (!whole && !changed[static_cast<std::size_t>(y)]) {
          ++y;
          continue;
        }
        int end = y;
        while (end < h && (whole || changed[static_cast<std::size_t>(end)])) {
          changed[static_cast<std::size_t>(end++)] = 0;
        }
        scale_rows(out, shown, p, y, end);
        rects_.push_back(
            SDL_Rect{p.x, p.y + y * p.scale, shown.width() * p.scale, (end - y) * p.scale});
        rows += end - y;
        y = end;
      }
      if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
      host_.frame_waiting_ = false;
      host_.rows_uploaded_ += rows;
    }
    redraw_ = false;
    last_w_ = out->w;
    last_h_ = out->h;
    placement_ = p;
    if (whole) {
      SDL_UpdateWindowSurface(window_);
    } else {
      // Clip the bands to the window: SDL sends them as they are.
      for (SDL_Rect& r : rects_) {
        SDL_Rect all{0, 0, out->w, out->h};
        SDL_IntersectRect(&r, &all, &r);
      }
      SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
    }
    if (host_.frames_presented_.fetch_add(1) == 0) {
      host_.first_present_ms_.store(ms_between(host_.start_clock_, Clock::now()));
    }
  }

  void toggle_fullscreen() {
    bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
      host_.fullscreen_.store(!full);
    }
    redraw_ = true;
  }

  // Saves what the window shows and prints where.
  void save_screenshot() {
    Surface copy;
    {
      std::lock_guard<std::mutex> lock(host_.frame_mutex_);
      copy = host_.shown_;
    }
    std::string path = unused_stamped_path(pictures_dir() + "/peakwend-", ".png");
    std::string err;
    if (save_png(copy, path, &err)) {
      std::cout << "screenshot: " << path << std::endl;
    } else {
      std::cerr << "peakwend: " << err << "\n";
    }
  }

  // A window position in picture pixels (outside the picture when the
  // pointer is on the black border or beyond the window).
  int picture_x(int x) const { return floor_div(x - placement_.x, placement_.scale); }
  int picture_y(int y) const { return floor_div(y - placement_.y, placement_.scale); }
  static int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

  void handle(const SDL_Event& ev) {
    Event e;
    switch (ev.type) {
      case SDL_SYSWMEVENT:
        if (!gone_ && x11::destroyed(ev.syswm.msg, xwindow_)) window_gone();
        break;
      case SDL_QUIT:
        e.type = Event::Type::Close;
        host_.post_event(e);
        break;
      case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
          e.type = Event::Type::Close;
          host_.post_event(e);
        } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                   ev.window.event == SDL_WINDOWEVENT_RESTORED ||
                   ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          e.type = Event::Type::Expose;
          host_.post_event(e);
          redraw_ = true;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        SDL_Keycode sym = ev.key.keysym.sym;
        Uint16 mod = ev.key.keysym.mod;
        bool down = ev.type == SDL_KEYDOWN;
        // Window keys stay with the window and never reach the program.
        if (sym == SDLK_F11 || ((sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (mod & KMOD_ALT))) {
          if (down && !ev.key.repeat) toggle_fullscreen();
          break;
        }
        if (sym == SDLK_F12) {
          if (down && !ev.key.repeat) save_screenshot();
          break;
        }
        if (sound_key(translate_sdl_key(sym, mod), down, ev.key.repeat, *host_.options_.volume, std::cerr)) {
          break;
        }
        e.type = down ? Event::Type::KeyDown : Event::Type::KeyUp;
        e.key = translate_sdl_key(sym, mod);
        if (e.key == Key::Char) e.ch = static_cast<char32_t>(sym);
        e.shift = (mod & KMOD_SHIFT) != 0;
        e.ctrl = (mod & KMOD_CTRL) != 0;
        e.alt = (mod & KMOD_ALT) != 0;
        host_.post_event(e);
        break;
      }
      case SDL_TEXTINPUT: {
        // Ctrl combinations arrive as control codes from the key itself.
        SDL_Keymod mod = SDL_GetModState();
        if ((mod & KMOD_CTRL) && !(mod & KMOD_ALT)) break;
        e.type = Event::Type::Text;
        e.text = ev.text.text;
        host_.post_event(e);
        break;
      }
      case SDL_MOUSEMOTION:
        e.type = Event::Type::MouseMove;
        e.x = picture_x(ev.motion.x);
        e.y = picture_y(ev.motion.y);
        host_.post_event(e);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (ev.button.button != SDL_BUTTON_LEFT && ev.button.button != SDL_BUTTON_RIGHT) break;
        bool down = ev.type == SDL_MOUSEBUTTONDOWN;
        e.type = down ? Event::Type::MouseDown : Event::Type::MouseUp;
        e.button = ev.button.button == SDL_BUTTON_LEFT ? MouseButton::Left : MouseButton::Right;
        e.x = picture_x(ev.button.x);
        e.y = picture_y(ev.button.y);
        host_.post_event(e);
        if (down && ev.button.clicks == 2) {
          e.type = Event::Type::MouseDoubleClick;
          host_.post_event(e);
        }
        // Keep reporting the pointer outside the window while a button is held.
        buttons_held_ = std::max(0, buttons_held_ + (down ? 1 : -1));
        SDL_CaptureMouse(buttons_held_ > 0 ? SDL_TRUE : SDL_FALSE);
        break;
      }
      default:
        break;
    }
  }

  SdlHost& host_;
  WindowSpec setup_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  const int wake_fd_;  // the program's wake-ups
  int x_fd_ = -1;      // the display connection, on X11
  unsigned long xwindow_ = 0;
  bool gone_ = false;  // destroyed from outside
  std::mutex box_mutex_;
  std::condition_variable box_answered_;
  std::optional<Box> box_;
  bool running_ = false;  // the loop runs and can show a box
  SDL_Window* window_ = nullptr;
  bool video_ready_ = false;
  bool redraw_ = false;
  int buttons_held_ = 0;
  std::optional<Clock::time_point> fit_until_;  // waiting for the frame's size
  SDL_Rect usable_{0, 0, 0, 0};
  int last_w_ = 0, last_h_ = 0;
  Placement placement_;
  std::vector<Uint32> line_;
  std::vector<SDL_Rect> rects_;
};

SdlHost::SdlHost(HostOptions options)
    : options_(std::move(options)),
      midi_(options_.midi ? options_.midi : std::make_shared<NoMidi>()),
      start_clock_(Clock::now()),
      start_time_(options_.start_time ? *options_.start_time : system_local_time()) {
  if (options_.script) runner_.emplace(*options_.script);
}

SdlHost::~SdlHost() {
  window_.reset();
}

int SdlHost::fitting_scale(int usable_w, int usable_h, int frame_w, int frame_h, int width,
                           int height) {
  if (width <= 0 || height <= 0) return 1;
  int sx = (usable_w - frame_w) / width;
  int sy = (usable_h - frame_h) / height;
  return std::max(1, std::min(sx, sy));
}

SdlHost::Stats SdlHost::stats() const {
  Stats s;
  s.frames_offered = frames_offered_.load();
  s.frames_presented = frames_presented_.load();
  s.rows_uploaded = rows_uploaded_.load();
  s.first_present_ms = first_present_ms_.load();
  return s;
}

void SdlHost::set_script_hooks(ScriptHooks* hooks) {
  if (runner_) runner_->set_hooks(hooks);
}

bool SdlHost::create_window(const WindowSpec& setup, std::string* error) {
  window_.reset();
  picture_ = Surface(setup.client_width, setup.client_height);
  {
    std::lock_guard<std::mutex> lock(frame_mutex_);
    shown_ = picture_;
    rows_changed_.assign(static_cast<std::size_t>(setup.client_height), 1);
    frame_waiting_ = true;
  }
  auto w = std::make_unique<Window>(*this, setup);
  if (!w->start(error)) return false;
  window_ = std::move(w);
  dirty_ = false;
  return true;
}

std::uint32_t SdlHost::millis() {
  clock_read_ = true;
  return pacer_.read([this] { return Clock::now() - start_clock_; },
                     [this](ClockPacer::Duration until) {
                       use_tight_timer_slack();
                       offer_frame(Clock::now());
                       std::unique_lock<std::mutex> lock(inbox_mutex_);
                       inbox_ready_.wait_until(lock, start_clock_ + until, [this] {
                         return inbox_filled_.load(std::memory_order_relaxed);
                       });
                     });
}

std::uint32_t SdlHost::now_ms() const {
  auto d = Clock::now() - start_clock_;
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

LocalTime SdlHost::local_time() {
  return add_millis(start_time_, now_ms());
}

void SdlHost::post_event(const Event& e) {
  {
    std::lock_guard<std::mutex> lock(inbox_mutex_);
    inbox_.push_back(e);
    inbox_filled_.store(true, std::memory_order_release);
  }
  inbox_ready_.notify_one();
}

void SdlHost::offer_frame(Clock::time_point now) {
  if (!dirty_ || !window_) return;
  if (now - last_offer_ < frame_period_) return;
  std::unique_lock<std::mutex> lock(frame_mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return;  // the window is uploading: next time
  // Only rows written since the last offer can differ from what the window
  // has, and only those that do are handed over.
  const Surface& picture = picture_;
  const int h = picture.height();
  const std::size_t bytes = static_cast<std::size_t>(picture.width()) * sizeof(Rgb);
  bool any = false;
  for (int y = 0; y < h; ++y) {
    if (!picture.row_changed(y) || std::memcmp(picture.row(y), shown_.row(y), bytes) == 0) continue;
    std::memcpy(shown_.row(y), picture.row(y), bytes);
    rows_changed_[static_cast<std::size_t>(y)] = 1;
    any = true;
  }
  picture_.forget_changes();
  dirty_ = false;
  last_offer_ = now;
  if (!any) return;
  frame_waiting_ = true;
  lock.unlock();
  ++frames_offered_;
  window_->wake();
}

bool SdlHost::pump(EventSink& sink) {
  if (closed_) return false;
  if (quit_requested_by_signal()) {
    closed_ = true;
    return false;
  }
  // The program pumps every few statements; looking more often than this
  // only costs time (and a busy wait's accuracy).
  auto now = Clock::now();
  if (now - last_poll_ < kPollInterval) return true;
  last_poll_ = now;
  batch_.clear();
  if (inbox_filled_.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(inbox_mutex_);
    batch_.assign(inbox_.begin(), inbox_.end());
    inbox_.clear();
    inbox_filled_.store(false, std::memory_order_relaxed);
  }
  if (runner_) {
    runner_->step(now_ms(), picture_, batch_);
    if (auto code = runner_->failure_code()) {
      quit_code_ = *code;
      closed_ = true;
      return false;
    }
  }
  if (!batch_.empty()) {
    quiet_since_.reset();
    pacer_.activity();
  }
  for (const Event& e : batch_) {
    sink.on_event(e);
    if (e.type == Event::Type::Close) {
      closed_ = true;
      return false;
    }
  }
  offer_frame(now);
  return true;
}

void SdlHost::input_idle() {
  if (runner_) runner_->note_idle();
  auto now = Clock::now();
  offer_frame(now);
  // A program that reads the clock between its polls is timing something
  // (an animation, a busy wait): sleeping would stretch its steps.
  if (clock_read_) {
    clock_read_ = false;
    quiet_since_.reset();
    return;
  }
  // Sleep until an event arrives: at most a millisecond at first, longer
  // once nothing has happened for a while, and never past the time a
  // changed picture may be handed over. The next pump looks at once.
  if (!quiet_since_) quiet_since_ = now;
  Clock::duration sleep = now - *quiet_since_ < kQuietAfter
                              ? Clock::duration(std::chrono::milliseconds(1))
                              : Clock::duration(kQuietSleep);
  if (dirty_) {
    // Due now means the window was busy uploading: look again shortly.
    Clock::duration due = last_offer_ + frame_period_ - now;
    sleep = std::clamp(due, Clock::duration(std::chrono::microseconds(200)), sleep);
  }
  std::unique_lock<std::mutex> lock(inbox_mutex_);
  inbox_ready_.wait_for(lock, sleep,
                        [this] { return inbox_filled_.load(std::memory_order_relaxed); });
  last_poll_ = {};
}

void SdlHost::beep() {
  if (midi_->beep()) return;
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

void SdlHost::message_box(const std::string& caption, const std::string& text, BoxIcon icon) {
  Uint32 flags = icon == BoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_WARNING;
  // SDL's box touches the window (focus, pointer, cursor): while there is
  // one, only the window thread may show it.
  bool shown = window_
                   ? window_->show_box(caption, text, flags)
                   : SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) == 0;
  if (!shown) std::cerr << caption << ": " << text << "\n";
}

}  // namespace platform
