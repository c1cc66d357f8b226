// A real window through SDL2: the 640x504 picture scaled by whole numbers
// with sharp pixels, presented only when it changed and at most once per
// display refresh, never waiting for vertical sync.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "platform/host.h"
#include "platform/host_options.h"
#include "platform/script.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace platform {

class SdlHost : public Host {
 public:
  explicit SdlHost(HostOptions options = {});
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  bool create_window(const WindowSpec& setup, std::string* error) override;
  Surface& picture() override { return picture_; }
  void picture_changed() override {
    dirty_ = true;
    quiet_since_.reset();
  }
  bool pump(EventSink& sink) override;
  void input_idle() override;
  std::uint32_t millis() override;
  LocalTime local_time() override;
  void beep() override;
  MidiOut& midi() override { return *midi_; }
  void message_box(const std::string& caption, const std::string& text, BoxIcon icon) override;
  int quit_code() const override { return quit_code_; }
  void set_script_hooks(ScriptHooks* hooks) override;

  int scale() const { return scale_; }

 private:
  std::uint32_t now_ms() const;  // the clock, without counting as a read
  void translate(const SDL_Event& ev, std::vector<Event>& out);
  void present(bool force);
  void toggle_fullscreen();
  void set_icon();
  void save_screenshot();

  // The window system is asked for events at most this often.
  static constexpr std::chrono::microseconds kPollInterval{500};
  // Idle this long with no input, drawing or clock reads: sleep longer.
  static constexpr std::chrono::milliseconds kQuietAfter{250};
  static constexpr int kQuietSleepMs = 10;

  HostOptions options_;
  std::shared_ptr<MidiOut> midi_;
  WindowSpec spec_;
  Surface picture_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::optional<ScriptRunner> runner_;
  std::vector<Event> batch_;
  std::chrono::steady_clock::time_point start_clock_;
  std::chrono::steady_clock::time_point last_poll_{};
  std::optional<std::chrono::steady_clock::time_point> quiet_since_;
  LocalTime start_time_;
  std::uint32_t last_present_ = 0;
  std::uint32_t frame_ms_ = 16;
  int scale_ = 1;
  int quit_code_ = 0;
  bool dirty_ = true;
  bool closed_ = false;
  bool video_ready_ = false;
  int buttons_held_ = 0;
  bool clock_read_ = false;  // millis() was asked since the last input_idle()
};

}  // namespace platform
