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

// F7 and F8 step the level by ten within 0..100 and F9 mutes or unmutes,
// each saying so; releases and a held F9 do nothing. Other keys are not theirs.
TEST(SoundKeys, StepByTenWithinTheRangeMuteAndSaySo) {
  struct Press {
    Key key;
    bool down = true, repeat = false;
  };
  const std::tuple<int, std::vector<Press>, int, bool, const char*> cases[] = {
      {80, {{Key::F8}}, 90, false, "volume 90\n"},
      {95, {{Key::F8}, {Key::F8, true, true}}, 100, false, "volume 100\nvolume 100\n"},
      {15, {{Key::F7}, {Key::F7, true, true}}, 0, false, "volume 5\nvolume 0\n"},
      {80, {{Key::F9}, {Key::F9, true, true}}, 80, true, "sound off\n"},
      {80, {{Key::F9}, {Key::F9}}, 80, false, "sound off\nsound on\n"},
      {80, {{Key::F9}, {Key::F7}}, 70, false, "sound off\nvolume 70\n"},
      {80, {{Key::F7, false}, {Key::F8, false}, {Key::F9, false}}, 80, false, ""},
      {80, {{Key::F1}, {Key::F6}, {Key::F10}, {Key::F11}, {Key::F12}, {Key::Enter}}, 80, false, ""},
      {80, {{Key::Char}, {Key::Other}, {Key::F1, false}, {Key::F12, false}}, 80, false, ""}};
  for (const auto& [start, presses, percent, muted, log] : cases) {
    Volume v(start);
    std::ostringstream said;
    for (const Press& p : presses) {
      const bool sound = p.key == Key::F7 || p.key == Key::F8 || p.key == Key::F9;
      EXPECT_EQ(sound_key(p.key, p.down, p.repeat, v, said), sound) << key_name(p.key);
    }
    EXPECT_EQ(std::tuple(v.percent(), v.muted(), said.str()), std::tuple(percent, muted, log));
  }
}

TEST(Volume, GainIsTheSquareOfTheLevelOverTheDefaultAndZeroWhenMuted) {
  for (auto [percent, gain] :
       {std::pair{0, 0.0f}, {40, 0.25f}, {80, 1.0f}, {100, 1.5625f}, {150, 1.5625f}, {-5, 0.0f}}) {
    Volume v(percent);
    EXPECT_FLOAT_EQ(v.gain(), gain) << percent;
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
    return std::abs(std::ranges::max(buf, {}, [](float x) { return std::abs(x); }));
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
