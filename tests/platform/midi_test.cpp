// MIDI output devices: the choice of device and soundfont, the recorder,
// the device opened on first use, and the synthesizer's sound.
#include "platform/midi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/synth.h"
#include "tests/support/env.h"

namespace platform {
namespace {

const std::string kGM = "/usr/share/sounds/sf2/TimGM6mb.sf2";

std::string scratch_file(const std::string& name, const std::string& content) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

float peak(const std::vector<float>& v) {
  float m = 0;
  for (float x : v) m = std::max(m, std::fabs(x));
  return m;
}

TEST(Soundfont, TheNamedFileOrTheFirstUsableCandidate) {
  const std::string junk = scratch_file("junk.sf2", "RIFF0000WAVEfmt "), missing = "/nonexistent/x.sf2";
  const struct {
    std::optional<std::string> named;
    std::vector<std::string> candidates;
    std::optional<std::string> want;
    std::string why;
  } cases[] = {{kGM, {}, kGM, ""},
               {missing, {kGM}, std::nullopt, "no soundfont file " + missing},
               {junk, {kGM}, std::nullopt, junk + " is not a soundfont"},
               {std::nullopt, {missing, junk, kGM}, kGM, ""},
               {std::nullopt, {missing, junk}, std::nullopt, "give --soundfont FILE"}};
  for (const auto& c : cases) {
    std::string why;
    EXPECT_EQ(find_soundfont(c.named, c.candidates, &why), c.want) << c.why;
    EXPECT_NE(why.find(c.why), std::string::npos) << why;
  }
  std::string why;
  EXPECT_TRUE(find_soundfont(std::nullopt, default_soundfonts(), &why)) << why;
}

TEST(OpenMidi, TheDeviceTheOptionsAskFor) {
  const struct {
    MidiMode mode;
    const char* soundfont;
    bool headless;
    std::string device;  // how it describes itself; empty: none at all
  } cases[] = {{MidiMode::None, nullptr, false, "none"},
               {MidiMode::Recorder, nullptr, false, "recorder"},
               {MidiMode::Auto, nullptr, true, "recorder"},
               {MidiMode::Auto, "/nonexistent/x.sf2", false, "none"},
               {MidiMode::FluidSynth, "/nonexistent/x.sf2", true, ""}};
  for (const auto& c : cases) {
    MidiOptions o;
    o.mode = c.mode;
    o.headless = c.headless;
    if (c.soundfont) o.soundfont = c.soundfont;
    std::string note;
    auto m = open_midi(o, &note);
    EXPECT_EQ(m ? m->describe() : "", c.device);
    EXPECT_EQ(note.find("/nonexistent/x.sf2") != std::string::npos, c.soundfont != nullptr) << note;
  }
}

TEST(Recorder, KeepsTheLatestMessagesAndCountsThemAll) {
  MidiRecorder r;
  for (std::uint32_t i = 0; i < 10000; ++i) r.send(i);
  EXPECT_EQ(r.total(), 10000u);
  EXPECT_GE(r.messages().size(), MidiRecorder::kKeep / 2);
  EXPECT_LE(r.messages().size(), MidiRecorder::kKeep);
  for (std::size_t i = 0; i < r.messages().size(); ++i)
    ASSERT_EQ(r.messages()[i], 10000u - r.messages().size() + i);
  EXPECT_EQ(r.device_count(), 1);
  EXPECT_FALSE(r.beep());
}

TEST(LazyMidi, OpensOnFirstUseOnlyAndForwardsOrHasNoDevice) {
  int opened = 0;
  auto recorder = std::make_shared<MidiRecorder>();
  LazyMidi lazy([&] { return ++opened, recorder; });
  lazy.reset();
  EXPECT_FALSE(lazy.opened()) << "nothing to silence yet";
  EXPECT_EQ(lazy.device_count(), 1);
  lazy.send(0x7F3C90);
  lazy.reset();
  EXPECT_TRUE(lazy.opened());
  EXPECT_EQ(std::tuple(opened, recorder->messages(), recorder->resets(), lazy.describe()),
            std::tuple(1, std::vector<std::uint32_t>{0x7F3C90}, 1, "recorder"));
  LazyMidi nothing([] { return std::shared_ptr<MidiOut>(); });
  nothing.send(0x7F3C90);
  EXPECT_EQ(std::tuple(nothing.device_count(), nothing.beep(), nothing.describe()), std::tuple(0, false, "none"));
}

// The synthesizer renders into memory; buffers of the audio device's size.
struct SynthTest : ::testing::Test {
  void SetUp() override {
    std::string why;
    synth = Synth::create(44100, &why);
    ASSERT_TRUE(synth) << why;
  }
  void load(const std::string& path) {
    synth->load_in_background(path);
    synth->wait_loaded(std::chrono::seconds(30));
  }
  float loudness(double seconds) {
    std::vector<float> out(2 * 256), all;
    for (int n = static_cast<int>(seconds * 44100 / 256); n > 0; --n) {
      synth->render(out.data(), 256);
      all.insert(all.end(), out.begin(), out.end());
    }
    return peak(all);
  }
  std::unique_ptr<Synth> synth;
};

TEST_F(SynthTest, ANoteOfTwoMillisecondsIsHeardAndDiesAway) {
  EXPECT_EQ(synth->state(), Synth::State::Empty);
  synth->send(0x7F3C90);
  EXPECT_EQ(loudness(0.1), 0.0f) << "nothing before a soundfont";
  load(kGM);
  ASSERT_EQ(synth->state(), Synth::State::Ready);
  EXPECT_LT(loudness(0.1), 1e-5f) << "the early note was dropped";
  synth->send(0x7F4890);
  std::vector<float> two_ms(2 * 88);
  synth->render(two_ms.data(), 88);
  synth->send(0x004890);
  float loud = std::max(peak(two_ms), loudness(0.05));
  EXPECT_GT(loud, 0.05f);
  loudness(3);
  EXPECT_LT(loudness(0.1), loud / 100);
  loudness(10);
  EXPECT_EQ(loudness(0.1), 0.0f) << "silence once the effects have died away";
  synth->send(0x7F3C90);
  EXPECT_GT(loudness(0.01), 0.05f) << "and a note after it sounds at once";
  synth->reset();
  loudness(3);
  EXPECT_LT(loudness(0.1), loud / 100) << "all notes off";
}

// Channel messages change what a note sounds like; those of no channel do not.
TEST_F(SynthTest, ChannelMessagesShapeTheSound) {
  load(kGM);
  ASSERT_EQ(synth->state(), Synth::State::Ready);
  auto note_after = [&](std::vector<std::uint32_t> before, std::uint32_t off = 0x003C90) {
    for (std::uint32_t m : before) synth->send(m);
    synth->send(0x7F3C90);
    std::vector<float> out(2 * 4096);
    synth->render(out.data(), 4096);
    synth->send(off);
    synth->send(0xFF);  // a system reset between cases
    loudness(2);
    return out;
  };
  auto differ = [](const std::vector<float>& a, const std::vector<float>& b) {
    float d = 0;
    for (std::size_t i = 0; i < a.size(); ++i) d = std::max(d, std::fabs(a[i] - b[i]));
    return d > 1e-3f;
  };
  const auto plain = note_after({});
  EXPECT_FALSE(differ(note_after({0xF8, 0xF6}), plain));
  const struct {
    const char* what;
    std::vector<std::uint32_t> messages;
  } cases[] = {{"program change", {0x0030C0}},         {"volume", {0x1007B0}},
               {"pitch bend", {0x7F7FE0}},             {"other key", {0x003E80, 0x7F3E90}},
               {"key pressure", {0x7F3CA0}},           {"channel pressure", {0x7FD0}}};
  for (const auto& c : cases) EXPECT_TRUE(differ(note_after(c.messages), plain)) << c.what;
  // A note-off message ends the note like velocity 0.
  note_after({}, 0x403C80);
  EXPECT_LT(loudness(0.1), 1e-4f);
}

TEST_F(SynthTest, ABrokenSoundfontFailsQuietly) {
  load(scratch_file("broken.sf2", std::string("RIFF\x10\0\0\0sfbkLIST", 16)));
  EXPECT_EQ(synth->state(), Synth::State::Failed);
  synth->send(0x7F3C90);
  EXPECT_EQ(loudness(0.05), 0.0f);
}

TEST(Beep, AShortToneFadedInOverWhatPlays) {
  AudioOut a;  // not opened: mixing works on any buffer
  std::vector<float> buf(2 * 8820, 0.25f);
  a.mix_beep(buf.data(), 4410);
  EXPECT_EQ(buf, std::vector<float>(2 * 8820, 0.25f)) << "no beep asked for";
  a.beep();
  a.mix_beep(buf.data(), 4410);
  a.mix_beep(buf.data() + 2 * 4410, 4410);
  const std::size_t tone = 44100 * AudioOut::kBeepMillis / 1000;
  float louder = 0;
  for (std::size_t i = 0; i < buf.size(); i += 2) {
    ASSERT_EQ(buf[i], buf[i + 1]) << "the same on both sides";
    if (i / 2 >= tone) {
      ASSERT_EQ(buf[i], 0.25f) << "over after " << AudioOut::kBeepMillis << " ms";
    }
    louder = std::max(louder, buf[i] - 0.25f);
  }
  EXPECT_EQ(buf[0], 0.25f) << "faded in";
  EXPECT_LT(std::fabs(buf[2 * 10] - 0.25f), 0.01f);
  EXPECT_GT(louder, 0.15f);
}

// The real path: SDL's disk audio driver writes what the device plays.
TEST(SynthDevice, NotesAndTheBeepPlayThroughTheAudioDevice) {
  const std::string raw = ::testing::TempDir() + "synth-device.raw";
  testing_support::ScopedEnv driver("SDL_AUDIODRIVER", "disk"), file("SDL_DISKAUDIOFILE", raw.c_str());
  for (bool note : {true, false}) {
    {
      std::string why;
      auto m = SynthMidi::open(kGM, &why);
      ASSERT_TRUE(m) << why;
      EXPECT_NE(m->describe().find("fluidsynth with " + kGM + " on disk"), std::string::npos) << m->describe();
      ASSERT_TRUE(m->synth().wait_loaded(std::chrono::seconds(30)));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      EXPECT_GT(m->audio().renders(), 0u);
      if (note) m->send(0x7F3C90), m->send(0x003C90);
      if (!note) {
        EXPECT_TRUE(m->beep());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    std::ifstream in(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> out(bytes.size() / sizeof(float));
    std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
    ASSERT_GT(out.size(), 2u * 4410);
    EXPECT_EQ(out[0], 0.0f) << "silence before";
    EXPECT_GT(peak(out), 0.05f) << (note ? "the note" : "the beep");
    std::filesystem::remove(raw);
  }
}

}  // namespace
}  // namespace platform
