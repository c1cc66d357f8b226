// A real window through SDL2: the 640x504 picture scaled by whole numbers
// with sharp pixels, presented only when it changed and at most once per
// display refresh, never waiting for vertical sync.
//
// The window lives on a thread of its own: it takes the window system's
// events, uploads the rows of the picture that changed and presents them.
// The program's thread only copies changed rows into a shared picture and
// picks up queued events, so drawing and presenting never stretch its busy
// waits.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/clock_pacer.h"
#include "platform/host.h"
#include "platform/host_options.h"
#include "platform/script.h"

namespace platform {

// The key an SDL key code stands for. The keypad's keys are the cursor and
// editing keys (5 is Clear) unless they type digits, which then come as text:
// with NumLock on, or with Shift held and NumLock off.
Key translate_sdl_key(std::int32_t sym, std::uint16_t mod);

// Where screenshots go: $XDG_PICTURES_DIR, the pictures folder named in
// ~/.config/user-dirs.dirs, ~/Pictures, else "."; the first that is a folder.
std::string pictures_dir();

class SdlHost : public Host {
 public:
  // What the window thread has done, for tests and measurements.
  struct Stats {
    long frames_offered = 0;       // pictures handed to the window thread
    long frames_presented = 0;     // presents, redraws after expose included
    long rows_uploaded = 0;        // picture rows drawn into the window
    double first_present_ms = -1;  // since the host was made; -1 before
  };

  explicit SdlHost(HostOptions options = {});
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  bool create_window(const WindowSpec& setup, std::string* error) override;
  Surface& picture() override { return picture_; }
  void picture_changed() override {
    dirty_ = true;
    quiet_since_.reset();
    pacer_.activity();
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

  // The whole-number scale of the window (after create_window).
  int scale() const { return scale_.load(); }
  bool fullscreen() const { return fullscreen_.load(); }
  Stats stats() const;
  // The largest whole-number scale at which a picture of `width` x
  // `height`, with a window frame of `frame_w` x `frame_h` around it, fits
  // a usable desktop area of `usable_w` x `usable_h`; at least 1.
  static int fitting_scale(int usable_w, int usable_h, int frame_w, int frame_h, int width,
                           int height);
  // The frame assumed until the window manager tells the real one.
  static constexpr int kGuessFrameW = 16, kGuessFrameH = 40;

 private:
  class Window;  // the window thread's side

  std::uint32_t now_ms() const;  // the clock, without counting as a read
  // Hands the changed rows of the picture to the window thread, at most
  // once per display refresh; never waits for the window thread.
  void offer_frame(std::chrono::steady_clock::time_point now);
  // Called by the window thread.
  void post_event(const Event& e);

  // The window system is asked for events at most this often.
  static constexpr std::chrono::microseconds kPollInterval{500};
  // Idle this long with no input, drawing or clock reads: sleep longer.
  static constexpr std::chrono::milliseconds kQuietAfter{250};
  static constexpr std::chrono::milliseconds kQuietSleep{10};

  HostOptions options_;
  std::shared_ptr<MidiOut> midi_;
  Surface picture_;
  std::optional<ScriptRunner> runner_;
  std::vector<Event> batch_;
  std::chrono::steady_clock::time_point start_clock_;
  std::chrono::steady_clock::time_point last_poll_{};
  std::chrono::steady_clock::time_point last_offer_{};
  std::optional<std::chrono::steady_clock::time_point> quiet_since_;
  LocalTime start_time_;
  int quit_code_ = 0;
  bool dirty_ = true;
  bool closed_ = false;
  bool clock_read_ = false;  // millis() was asked since the last input_idle()
  ClockPacer pacer_;

  // Events from the window thread.
  std::mutex inbox_mutex_;
  std::condition_variable inbox_ready_;
  std::deque<Event> inbox_;
  std::atomic<bool> inbox_filled_{false};

  // The picture as handed over, and the rows the window has not uploaded.
  std::mutex frame_mutex_;
  Surface shown_;
  std::vector<std::uint8_t> rows_changed_;
  bool frame_waiting_ = false;

  std::atomic<int> scale_{1};
  std::atomic<bool> fullscreen_{false};
  std::atomic<long> frames_offered_{0};
  std::atomic<long> frames_presented_{0};
  std::atomic<long> rows_uploaded_{0};
  std::atomic<double> first_present_ms_{-1};
  std::chrono::microseconds frame_period_{16667};

  std::unique_ptr<Window> window_;
};

}  // namespace platform
