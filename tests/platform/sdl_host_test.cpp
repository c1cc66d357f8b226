// The SDL window host on SDL's offscreen video driver: what reaches the
// program, what the window keeps for itself, what it draws and saves.
#include "platform/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;

class Sink : public EventSink {
 public:
  void on_event(const Event& e) override { events.push_back(e); }
  std::vector<Event> events;
};

SDL_Event key_event(bool down, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

void press(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Event down = key_event(true, sym, mod), up = key_event(false, sym, mod);
  SDL_PushEvent(&down);
  SDL_PushEvent(&up);
}

void motion(int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  SDL_PushEvent(&e);
}

class SdlHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    // Tests run in parallel processes: each has a folder of its own.
    pictures_ = std::filesystem::path(::testing::TempDir()) /
                ("sdl-host-pictures-" + std::to_string(::getpid()));
    std::filesystem::remove_all(pictures_);
    std::filesystem::create_directories(pictures_);
    setenv("XDG_PICTURES_DIR", pictures_.c_str(), 1);
  }

  void TearDown() override {
    host_.reset();
    std::error_code ec;
    std::filesystem::remove_all(pictures_, ec);
  }

  void open(int scale = 2) {
    HostOptions o;
    o.scale = scale;
    host_ = std::make_unique<SdlHost>(o);
    std::string err;
    ASSERT_TRUE(host_->create_window({"Peakwend/T", 640, 504}, &err)) << err;
  }

  // Pumps (as the program does between statements) until `done` holds or
  // five seconds have passed; false on time-out.
  bool pump_until(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < end) {
      if (!host_->pump(sink_)) return done();
      if (done()) return true;
      host_->input_idle();
    }
    return done();
  }

  // Pumps for a while so that whatever was pushed has arrived.
  void settle() {
    auto end = std::chrono::steady_clock::now() + 150ms;
    while (std::chrono::steady_clock::now() < end && host_->pump(sink_)) host_->input_idle();
  }

  bool saw_key(Key k) const {
    for (const Event& e : sink_.events) {
      if ((e.type == Event::Type::KeyDown || e.type == Event::Type::KeyUp) && e.key == k)
        return true;
    }
    return false;
  }

  std::filesystem::path pictures_;
  std::unique_ptr<SdlHost> host_;
  Sink sink_;
};

TEST_F(SdlHostTest, WindowKeysStayWithTheWindowAndOtherKeysReachTheProgram) {
  open();
  EXPECT_FALSE(host_->fullscreen());
  press(SDLK_F11);
  ASSERT_TRUE(pump_until([&] { return host_->fullscreen(); })) << "F11 goes fullscreen";
  press(SDLK_RETURN, KMOD_LALT);
  ASSERT_TRUE(pump_until([&] { return !host_->fullscreen(); })) << "Alt+Enter goes back";
  press(SDLK_KP_ENTER, KMOD_RALT);
  ASSERT_TRUE(pump_until([&] { return host_->fullscreen(); })) << "Alt with the keypad Enter too";
  press(SDLK_F12);
  press(SDLK_F10);
  press(SDLK_RETURN);
  ASSERT_TRUE(pump_until([&] { return saw_key(Key::Enter) && saw_key(Key::F10); }));
  settle();
  EXPECT_FALSE(saw_key(Key::F11));
  EXPECT_FALSE(saw_key(Key::F12));
  int enters = 0;
  for (const Event& e : sink_.events) {
    if (e.type == Event::Type::KeyDown && e.key == Key::Enter) {
      ++enters;
      EXPECT_FALSE(e.alt) << "only the plain Enter arrives";
    }
  }
  EXPECT_EQ(enters, 1);
}

TEST_F(SdlHostTest, F12SavesWhatTheWindowShowsAndPrintsWhere) {
  open();
  Surface& pic = host_->picture();
  pic.fill(rgb(10, 20, 30));
  for (int x = 0; x < 640; ++x) pic.set(x, 77, rgb(200, 0, 0), Rop::Copy);
  host_->picture_changed();
  ASSERT_TRUE(pump_until([&] { return host_->stats().frames_offered >= 1; }));
  ::testing::internal::CaptureStdout();
  press(SDLK_F12);
  std::filesystem::path saved;
  bool found = pump_until([&] {
    for (const auto& f : std::filesystem::directory_iterator(pictures_)) saved = f.path();
    return !saved.empty();
  });
  settle();  // the file is complete once the path is printed
  std::string out = ::testing::internal::GetCapturedStdout();
  ASSERT_TRUE(found) << "no screenshot in " << pictures_;
  EXPECT_EQ(saved.extension(), ".png");
  EXPECT_NE(out.find("screenshot: " + saved.string()), std::string::npos) << out;
  Surface back;
  std::string err;
  ASSERT_TRUE(load_png(saved.string(), &back, &err)) << err;
  ASSERT_EQ(back.width(), 640);
  ASSERT_EQ(back.height(), 504);
  EXPECT_EQ(back.get(5, 5), rgb(10, 20, 30));
  EXPECT_EQ(back.get(300, 77), rgb(200, 0, 0));

  // A second one in the same second does not overwrite the first.
  press(SDLK_F12);
  EXPECT_TRUE(pump_until(
      [&] { return std::distance(std::filesystem::directory_iterator(pictures_), {}) == 2; }));
}

TEST_F(SdlHostTest, OnlyRowsThatChangedAreDrawnAgain) {
  open(1);
  ASSERT_TRUE(pump_until([&] { return host_->stats().frames_presented >= 1; }));
  const long before = host_->stats().rows_uploaded;
  EXPECT_EQ(before, 504) << "the first picture is drawn whole";

  Surface& pic = host_->picture();
  for (int y = 100; y < 104; ++y) pic.set(10, y, rgb(255, 255, 255), Rop::Copy);
  pic.set(20, 300, rgb(1, 2, 3), Rop::Copy);
  host_->picture_changed();
  ASSERT_TRUE(pump_until([&] { return host_->stats().rows_uploaded > before; }));
  settle();
  EXPECT_EQ(host_->stats().rows_uploaded - before, 5);

  // Told of a change that changed nothing: nothing is handed over.
  const long offered = host_->stats().frames_offered;
  host_->picture_changed();
  settle();
  EXPECT_EQ(host_->stats().frames_offered, offered);
  EXPECT_EQ(host_->stats().rows_uploaded - before, 5);
}

TEST_F(SdlHostTest, PicturesAreHandedOverAtMostOncePerRefresh) {
  open(1);
  ASSERT_TRUE(pump_until([&] { return host_->stats().frames_presented >= 1; }));
  const long before = host_->stats().frames_offered;
  auto start = std::chrono::steady_clock::now();
  int drawn = 0;
  // A program that changes the picture between every two statements.
  while (std::chrono::steady_clock::now() - start < 300ms) {
    host_->picture().set(drawn % 640, 200, static_cast<Rgb>(drawn), Rop::Copy);
    host_->picture_changed();
    ++drawn;
    ASSERT_TRUE(host_->pump(sink_));
  }
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  long offered = host_->stats().frames_offered - before;
  EXPECT_GT(drawn, 1000);
  EXPECT_GE(offered, 1);
  // The offscreen display reports no refresh rate: 60 Hz is assumed.
  EXPECT_LE(offered, static_cast<long>(ms / 16.0) + 1);
}

TEST_F(SdlHostTest, PointerPositionsArePicturePixelsAtEveryScale) {
  open(2);
  motion(2 * 100 + 1, 2 * 50 + 1);
  ASSERT_TRUE(pump_until([&] { return !sink_.events.empty(); }));
  const Event& m = sink_.events.back();
  EXPECT_EQ(m.type, Event::Type::MouseMove);
  EXPECT_EQ(m.x, 100);
  EXPECT_EQ(m.y, 50);

  // Fullscreen on the offscreen display (1024x768): scale 1, centred on black.
  press(SDLK_F11);
  ASSERT_TRUE(pump_until([&] { return host_->fullscreen(); }));
  settle();
  sink_.events.clear();
  const int left = (1024 - 640) / 2, top = (768 - 504) / 2;
  motion(left + 7, top + 9);
  motion(left - 3, top - 1);
  ASSERT_TRUE(pump_until([&] { return sink_.events.size() >= 2; }));
  EXPECT_EQ(sink_.events[0].x, 7);
  EXPECT_EQ(sink_.events[0].y, 9);
  EXPECT_EQ(sink_.events[1].x, -3) << "the border lies outside the picture";
  EXPECT_EQ(sink_.events[1].y, -1);
}

TEST_F(SdlHostTest, ClosingTheWindowEndsTheProgramsPumping) {
  open(1);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  bool open_still = true;
  auto end = std::chrono::steady_clock::now() + 5s;
  while (open_still && std::chrono::steady_clock::now() < end) {
    open_still = host_->pump(sink_);
    host_->input_idle();
  }
  EXPECT_FALSE(open_still);
  ASSERT_FALSE(sink_.events.empty());
  EXPECT_EQ(sink_.events.back().type, Event::Type::Close);
  EXPECT_FALSE(host_->pump(sink_)) << "stays closed";
}

TEST_F(SdlHostTest, WaitingForInputSleepsUntilAnEventArrives) {
  open(1);
  settle();
  // Nothing happens: the program's idle polls sleep instead of spinning.
  int polls = 0;
  auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < 200ms) {
    ASSERT_TRUE(host_->pump(sink_));
    host_->input_idle();
    ++polls;
  }
  EXPECT_LT(polls, 400) << "at most about one poll a millisecond";
  // A key wakes the sleeper at once rather than after its longest sleep.
  press(SDLK_a);
  EXPECT_TRUE(pump_until([&] { return saw_key(Key::Char); }));
}

TEST(SdlHostScale, TheLargestWholeScaleThatFitsTheUsableArea) {
  auto fit = [](int w, int h, int fw, int fh) {
    return SdlHost::fitting_scale(w, h, fw, fh, 640, 504);
  };
  EXPECT_EQ(fit(1920, 1080, 0, 0), 2);
  EXPECT_EQ(fit(1920, 1048, 2, 37), 2) << "1080p under a 32-pixel top bar, 37-pixel title";
  EXPECT_EQ(fit(1920, 1036, 2, 30), 1) << "1080p above a 44-pixel panel: 1008 + 30 is too tall";
  EXPECT_EQ(fit(2560, 1600, 8, 40), 3);
  EXPECT_EQ(fit(3840, 2160, 8, 40), 4);
  EXPECT_EQ(fit(1280, 1024, 0, 0), 2);
  EXPECT_EQ(fit(1280, 1024, 2, 24), 1) << "a frame that does not fit beside the picture";
  EXPECT_EQ(fit(600, 400, 0, 0), 1) << "never below 1";
  EXPECT_EQ(fit(0, 0, 16, 40), 1);
  // The guess used before the window manager tells the frame.
  EXPECT_EQ(fit(1920, 1048, SdlHost::kGuessFrameW, SdlHost::kGuessFrameH), 2);
}

}  // namespace
}  // namespace platform
