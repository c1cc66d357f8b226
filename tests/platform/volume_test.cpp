// The sound level: the keys that set it, its gain and the ramp to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "platform/sound_keys.h"
#include "platform/synth.h"
#include "tests/support/env.h"

namespace platform {
namespace {

TEST(SoundKeys, F7F8F9AreTheWindowsPressedOrReleasedAndNoOtherKeyIs) {
  for (Key k : {Key::F1, Key::F6, Key::F7, Key::F8, Key::F9, Key::F10, Key::F11, Key::F12,
                Key::Enter, Key::Char, Key::Other}) {
    bool sound = k == Key::F7 || k == Key::F8 || k == Key::F9;
    for (bool down : {true, false}) {
      Volume v;
      std::ostringstream log;
      EXPECT_EQ(sound_key(k, down, false, v, log), sound) << key_name(k) << (down ? " down" : " up");
      if (!sound || !down) {
        EXPECT_EQ(log.str(), "") << key_name(k);
        EXPECT_EQ(v.percent(), Volume::kDefault);
      }
    }
  }
}

TEST(SoundKeys, StepByTenWithinTheRangeMuteAndSaySo) {
  struct Press {
    Key key;
    bool repeat;
  };
  const struct {
    int start;
    std::vector<Press> presses;
    int percent;
    bool muted;
    const char* log;
  } cases[] = {
      {80, {{Key::F8, false}}, 90, false, "volume 90\n"},
      {95, {{Key::F8, false}, {Key::F8, true}}, 100, false, "volume 100\nvolume 100\n"},
      {15, {{Key::F7, false}, {Key::F7, true}, {Key::F7, true}}, 0, false, "volume 5\nvolume 0\nvolume 0\n"},
      {80, {{Key::F9, false}}, 80, true, "sound off\n"},
      {80, {{Key::F9, false}, {Key::F9, true}}, 80, true, "sound off\n"},
      {80, {{Key::F9, false}, {Key::F9, false}}, 80, false, "sound off\nsound on\n"},
      {80, {{Key::F9, false}, {Key::F7, false}}, 70, false, "sound off\nvolume 70\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    Volume v(c.start);
    std::ostringstream log;
    for (const Press& p : c.presses) EXPECT_TRUE(sound_key(p.key, true, p.repeat, v, log));
    EXPECT_EQ(v.percent(), c.percent);
    EXPECT_EQ(v.muted(), c.muted);
    EXPECT_EQ(log.str(), c.log);
  }
}

TEST(Volume, GainIsTheSquareOfTheLevelOverTheDefaultAndZeroWhenMuted) {
  const struct {
    int percent;
    float gain;
  } cases[] = {{0, 0}, {40, 0.25f}, {80, 1}, {100, 1.5625f}, {150, 1.5625f}, {-5, 0}};
  for (const auto& c : cases) {
    Volume v(c.percent);
    EXPECT_FLOAT_EQ(v.gain(), c.gain) << c.percent;
    v.set_muted(true);
    EXPECT_EQ(v.gain(), 0.0f);
  }
}

TEST(GainRamp, MovesToANewGainInAStraightLineOverFiveMilliseconds) {
  GainRamp ramp(48000);  // 240 frames
  std::vector<float> buf(2 * 400, 1.0f);
  ramp.apply(buf.data(), 100, 1.0f);
  ramp.apply(buf.data() + 200, 300, 0.25f);
  for (int i = 0; i < 400; ++i) {
    float want = i < 100 ? 1.0f : 1.0f - 0.75f * std::min(i - 99, 240) / 240.0f;
    ASSERT_NEAR(buf[2 * i], want, 1e-5) << "frame " << i;
    ASSERT_EQ(buf[2 * i + 1], buf[2 * i]);
  }
}

TEST(Synth, MutingSilencesASoundingNoteWithoutEndingIt) {
  std::string why;
  auto s = Synth::create(44100, &why);
  ASSERT_TRUE(s) << why;
  auto volume = std::make_shared<Volume>();
  s->set_volume(volume);
  s->load_in_background("/usr/share/sounds/sf2/TimGM6mb.sf2");
  ASSERT_TRUE(s->wait_loaded(std::chrono::seconds(30)));
  s->send(0x000010C0);  // an organ: it holds while the key is down
  s->send(0x7F3C90);
  auto peak = [&s] {
    std::vector<float> buf(2 * 2205);
    s->render(buf.data(), 2205);
    float p = 0;
    for (float x : buf) p = std::max(p, std::abs(x));
    return p;
  };
  float loud = peak();
  ASSERT_GT(loud, 0.01f);
  volume->set_muted(true);
  peak();
  EXPECT_EQ(peak(), 0.0f);
  volume->set_muted(false);
  peak();
  EXPECT_GT(peak(), loud / 4) << "the note sounds on";
}

TEST(Synth, BeepsUnlessMuted) {
  testing_support::ScopedEnv audio("SDL_AUDIODRIVER", "dummy");
  for (bool muted : {false, true}) {
    auto volume = std::make_shared<Volume>();
    volume->set_muted(muted);
    std::string why;
    auto midi = SynthMidi::open("/usr/share/sounds/sf2/TimGM6mb.sf2", &why, 256, volume);
    ASSERT_TRUE(midi) << why;
    EXPECT_TRUE(midi->beep());
    midi->audio().close();  // what is left of the tone stays to be mixed
    std::vector<float> buf(2 * 1000);
    midi->audio().mix_beep(buf.data(), 1000);
    EXPECT_EQ(std::ranges::count(buf, 0.0f) < 1000, !muted) << muted;
  }
}

}  // namespace
}  // namespace platform
