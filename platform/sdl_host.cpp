#include "platform/sdl_host.h"

#include "platform/icon.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

namespace platform {

namespace {

Key translate_key(SDL_Keycode k) {
  switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Enter;
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_BACKSPACE: return Key::Backspace;
    case SDLK_TAB: return Key::Tab;
    case SDLK_SPACE: return Key::Space;
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_UP: return Key::Up;
    case SDLK_DOWN: return Key::Down;
    case SDLK_HOME: return Key::Home;
    case SDLK_END: return Key::End;
    case SDLK_PAGEUP: return Key::PageUp;
    case SDLK_PAGEDOWN: return Key::PageDown;
    case SDLK_INSERT: return Key::Insert;
    case SDLK_DELETE: return Key::Delete;
    case SDLK_CLEAR: return Key::Clear;
    case SDLK_EXECUTE: return Key::Execute;
    case SDLK_F1: return Key::F1;
    case SDLK_F2: return Key::F2;
    case SDLK_F3: return Key::F3;
    case SDLK_F4: return Key::F4;
    case SDLK_F5: return Key::F5;
    case SDLK_F6: return Key::F6;
    case SDLK_F7: return Key::F7;
    case SDLK_F8: return Key::F8;
    case SDLK_F9: return Key::F9;
    case SDLK_F10: return Key::F10;
    case SDLK_F11: return Key::F11;
    case SDLK_F12: return Key::F12;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return Key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return Key::Ctrl;
    case SDLK_LALT:
    case SDLK_RALT: return Key::Alt;
    default: break;
  }
  if (k >= 0x21 && k < 0x7F) return Key::Char;
  return Key::Other;
}

// The directory screenshots go to: the XDG pictures directory, else ".".
std::string pictures_dir() {
  namespace fs = std::filesystem;
  if (const char* p = std::getenv("XDG_PICTURES_DIR"); p && *p == '/' && fs::is_directory(p)) return p;
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

}  // namespace

SdlHost::SdlHost(HostOptions options)
    : options_(std::move(options)),
      midi_(options_.midi ? options_.midi : std::make_shared<NoMidi>()),
      start_clock_(std::chrono::steady_clock::now()),
      start_time_(options_.start_time ? *options_.start_time : system_local_time()) {
  if (options_.script) runner_.emplace(*options_.script);
}

SdlHost::~SdlHost() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  if (video_ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlHost::set_script_hooks(ScriptHooks* hooks) {
  if (runner_) runner_->set_hooks(hooks);
}

bool SdlHost::create_window(const WindowSpec& setup, std::string* error) {
  spec_ = setup;
  picture_ = Surface(setup.client_width, setup.client_height);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  auto no_display = [&](const std::string& why) {
    if (error) *error = "no display available (" + why + "); use --headless --script FILE to run without a window";
    return false;
  };
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  bool chosen = driver && *driver;
  if (!chosen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    return no_display("neither DISPLAY nor WAYLAND_DISPLAY is set");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return no_display(SDL_GetError());
  video_ready_ = true;
  // SDL falls back to drivers that show nothing; only take them when asked.
  std::string current = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
  if (!chosen && (current == "offscreen" || current == "dummy")) {
    return no_display("only the " + current + " video driver is available");
  }
  SDL_Rect usable{0, 0, 0, 0};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = {0, 0, setup.client_width, setup.client_height};
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0) {
    frame_ms_ = static_cast<std::uint32_t>(std::max(1, 1000 / mode.refresh_rate));
  }
  if (options_.scale > 0) {
    scale_ = options_.scale;
  } else {
    // Leave room for the window frame and caption.
    int sx = (usable.w - 16) / setup.client_width;
    int sy = (usable.h - 48) / setup.client_height;
    scale_ = std::max(1, std::min(sx, sy));
  }
  Uint32 flags = SDL_WINDOW_RESIZABLE | (options_.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  window_ = SDL_CreateWindow(setup.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             setup.client_width * scale_, setup.client_height * scale_, flags);
  if (!window_) {
    if (error) *error = std::string("cannot open a window: ") + SDL_GetError();
    return false;
  }
  SDL_SetWindowMinimumSize(window_, setup.client_width, setup.client_height);
  set_icon();
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    if (error) *error = std::string("cannot draw in the window: ") + SDL_GetError();
    return false;
  }
  // Whole-number scaling, letterboxed, with mouse positions in picture pixels.
  SDL_RenderSetLogicalSize(renderer_, setup.client_width, setup.client_height);
  SDL_RenderSetIntegerScale(renderer_, SDL_TRUE);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                               setup.client_width, setup.client_height);
  if (!texture_) {
    if (error) *error = std::string("cannot make the picture: ") + SDL_GetError();
    return false;
  }
  SDL_StartTextInput();
  dirty_ = true;
  present(true);
  return true;
}

std::uint32_t SdlHost::millis() {
  clock_read_ = true;
  return now_ms();
}

std::uint32_t SdlHost::now_ms() const {
  auto d = std::chrono::steady_clock::now() - start_clock_;
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

LocalTime SdlHost::local_time() { return add_millis(start_time_, now_ms()); }

void SdlHost::present(bool force) {
  if (!renderer_ || !texture_) return;
  std::uint32_t now = now_ms();
  if (!force && (!dirty_ || now - last_present_ < frame_ms_)) return;
  SDL_UpdateTexture(texture_, nullptr, picture_.pixels().data(),
                    picture_.width() * static_cast<int>(sizeof(Rgb)));
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
  last_present_ = now;
  dirty_ = false;
}

void SdlHost::set_icon() {
  Icon icon = walk_icon(64);
  std::vector<Uint32> argb(icon.alpha.size());
  for (std::size_t i = 0; i < argb.size(); ++i) {
    argb[i] = (static_cast<Uint32>(icon.alpha[i]) << 24) | icon.pixels.pixels()[i];
  }
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(argb.data(), icon.pixels.width(), icon.pixels.height(),
                                                      32, icon.pixels.width() * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return;
  SDL_SetWindowIcon(window_, s);
  SDL_FreeSurface(s);
}

void SdlHost::toggle_fullscreen() {
  Uint32 f = SDL_GetWindowFlags(window_);
  SDL_SetWindowFullscreen(window_, (f & SDL_WINDOW_FULLSCREEN_DESKTOP) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  present(true);
}

void SdlHost::save_screenshot() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char name[64];
  std::strftime(name, sizeof name, "peakwend-%Y%m%d-%H%M%S.png", &tm);
  std::string path = pictures_dir() + "/" + name;
  std::string err;
  if (save_png(picture_, path, &err)) {
    std::cout << "screenshot: " << path << std::endl;
  } else {
    std::cerr << "peakwend: " << err << "\n";
  }
}

void SdlHost::translate(const SDL_Event& ev, std::vector<Event>& out) {
  Event e;
  switch (ev.type) {
    case SDL_QUIT:
      e.type = Event::Type::Close;
      out.push_back(e);
      break;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        e.type = Event::Type::Close;
        out.push_back(e);
      } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 ev.window.event == SDL_WINDOWEVENT_RESTORED ||
                 ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        e.type = Event::Type::Expose;
        out.push_back(e);
        dirty_ = true;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      SDL_Keycode sym = ev.key.keysym.sym;
      Uint16 mod = ev.key.keysym.mod;
      bool down = ev.type == SDL_KEYDOWN;
      // Window keys stay with the window and never reach the program.
      if (sym == SDLK_F11 || (sym == SDLK_RETURN && (mod & KMOD_ALT))) {
        if (down && !ev.key.repeat) toggle_fullscreen();
        break;
      }
      if (sym == SDLK_F12) {
        if (down && !ev.key.repeat) save_screenshot();
        break;
      }
      e.type = down ? Event::Type::KeyDown : Event::Type::KeyUp;
      e.key = translate_key(sym);
      if (e.key == Key::Char) e.ch = static_cast<char32_t>(sym);
      e.shift = (mod & KMOD_SHIFT) != 0;
      e.ctrl = (mod & KMOD_CTRL) != 0;
      e.alt = (mod & KMOD_ALT) != 0;
      out.push_back(e);
      break;
    }
    case SDL_TEXTINPUT: {
      // Ctrl combinations arrive as control codes from the key itself.
      SDL_Keymod mod = SDL_GetModState();
      if ((mod & KMOD_CTRL) && !(mod & KMOD_ALT)) break;
      e.type = Event::Type::Text;
      e.text = ev.text.text;
      out.push_back(e);
      break;
    }
    case SDL_MOUSEMOTION:
      e.type = Event::Type::MouseMove;
      e.x = ev.motion.x;
      e.y = ev.motion.y;
      out.push_back(e);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (ev.button.button != SDL_BUTTON_LEFT && ev.button.button != SDL_BUTTON_RIGHT) break;
      bool down = ev.type == SDL_MOUSEBUTTONDOWN;
      e.type = down ? Event::Type::MouseDown : Event::Type::MouseUp;
      e.button = ev.button.button == SDL_BUTTON_LEFT ? MouseButton::Left : MouseButton::Right;
      e.x = ev.button.x;
      e.y = ev.button.y;
      out.push_back(e);
      if (down && ev.button.clicks == 2) {
        e.type = Event::Type::MouseDoubleClick;
        out.push_back(e);
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

bool SdlHost::pump(EventSink& sink) {
  if (closed_) return false;
  if (quit_requested_by_signal()) {
    closed_ = true;
    return false;
  }
  // The program pumps every few statements; asking the window system more
  // often than this only costs system calls (and a busy wait's accuracy).
  auto now = std::chrono::steady_clock::now();
  if (now - last_poll_ < kPollInterval) return true;
  last_poll_ = now;
  batch_.clear();
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) translate(ev, batch_);
  if (runner_) {
    runner_->step(now_ms(), picture_, batch_);
    if (auto code = runner_->failure_code()) {
      quit_code_ = *code;
      closed_ = true;
      return false;
    }
  }
  if (!batch_.empty()) quiet_since_.reset();
  for (const Event& e : batch_) {
    sink.on_event(e);
    if (e.type == Event::Type::Close) {
      closed_ = true;
      return false;
    }
  }
  present(false);
  return true;
}

void SdlHost::input_idle() {
  if (runner_) runner_->note_idle();
  present(false);
  // A program that reads the clock between its polls is timing something
  // (an animation, a busy wait): sleeping would stretch its steps.
  if (clock_read_) {
    clock_read_ = false;
    quiet_since_.reset();
    return;
  }
  // Sleep until an event arrives: at most a millisecond at first, longer
  // once nothing has happened for a while. The next pump looks at once.
  auto now = std::chrono::steady_clock::now();
  if (!quiet_since_) quiet_since_ = now;
  SDL_WaitEventTimeout(nullptr, now - *quiet_since_ < kQuietAfter ? 1 : kQuietSleepMs);
  last_poll_ = {};
}

void SdlHost::beep() {
  if (midi_->beep()) return;
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

void SdlHost::message_box(const std::string& caption, const std::string& text, BoxIcon icon) {
  Uint32 flags = icon == BoxIcon::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_WARNING;
  if (!video_ready_ || SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), window_) != 0) {
    std::cerr << caption << ": " << text << "\n";
  }
}

}  // namespace platform
