// MIDI devices: the soundfont search, the choice of device, the FluidSynth
// synthesizer rendering into memory, and the real output path through SDL's
// disk audio driver.
#include "platform/midi.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/synth.h"

namespace {

namespace fs = std::filesystem;
using platform::Synth;

const std::string kTimGM = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// A scratch directory removed with the test.
struct Scratch {
  fs::path dir;
  Scratch() {
    static int n = 0;
    dir = fs::temp_directory_path() /
          ("peakwend-midi-" + std::to_string(::getpid()) + "-" + std::to_string(n++));
    fs::create_directories(dir);
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::string file(const std::string& name, const std::string& content) {
    fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
};

// Below this the output is silence (the effects leave tiny residues).
constexpr float kSilent = 1e-5f;

float peak(const std::vector<float>& v) {
  float m = 0;
  for (float x : v) m = std::max(m, std::fabs(x));
  return m;
}

std::vector<float> render(Synth& s, int frames) {
  std::vector<float> out(static_cast<std::size_t>(frames) * 2, 1.0f);
  s.render(out.data(), frames);
  return out;
}

// Renders like the audio device does: buffer after buffer.
void play_for(Synth& s, double seconds) {
  std::vector<float> buf(2 * 256);
  for (int n = static_cast<int>(seconds * 44100 / 256); n > 0; --n) s.render(buf.data(), 256);
}

std::unique_ptr<Synth> loaded_synth() {
  std::string why;
  auto s = Synth::create(44100, &why);
  EXPECT_TRUE(s) << why;
  if (!s) return nullptr;
  s->load_in_background(kTimGM);
  EXPECT_TRUE(s->wait_loaded(std::chrono::seconds(30)));
  return s;
}

TEST(Soundfont, NamedFileMustBeASoundfont) {
  Scratch tmp;
  std::string why;
  EXPECT_FALSE(platform::find_soundfont((tmp.dir / "missing.sf2").string(), {kTimGM}, &why));
  EXPECT_NE(why.find("no soundfont file"), std::string::npos);
  std::string junk = tmp.file("junk.sf2", "RIFF0000WAVEfmt ");
  EXPECT_FALSE(platform::find_soundfont(junk, {kTimGM}, &why));
  EXPECT_NE(why.find("not a soundfont"), std::string::npos);
  EXPECT_EQ(platform::find_soundfont(kTimGM, {}, &why), kTimGM);
}

TEST(Soundfont, FirstUsableCandidateWins) {
  Scratch tmp;
  std::string why;
  std::string junk = tmp.file("junk.sf2", "not a soundfont at all");
  std::string missing = (tmp.dir / "missing.sf2").string();
  EXPECT_EQ(platform::find_soundfont(std::nullopt, {missing, junk, kTimGM}, &why), kTimGM);
  EXPECT_FALSE(platform::find_soundfont(std::nullopt, {missing, junk}, &why));
  EXPECT_NE(why.find("--soundfont"), std::string::npos);
  // The system's default list finds the installed General MIDI soundfont.
  EXPECT_TRUE(platform::find_soundfont(std::nullopt, platform::default_soundfonts(), &why)) << why;
}

TEST(OpenMidi, ChoosesTheDeviceAsAsked) {
  std::string note;
  platform::MidiOptions o;
  o.mode = platform::MidiMode::None;
  EXPECT_EQ(platform::open_midi(o, &note)->device_count(), 0);
  o.mode = platform::MidiMode::Recorder;
  EXPECT_EQ(platform::open_midi(o, &note)->describe(), "recorder");
  o.mode = platform::MidiMode::Auto;
  o.headless = true;
  EXPECT_EQ(platform::open_midi(o, &note)->describe(), "recorder");
}

TEST(OpenMidi, InsistingWithoutASoundfontFailsWithAReason) {
  platform::MidiOptions o;
  o.mode = platform::MidiMode::FluidSynth;
  o.soundfont = "/nonexistent/peakwend.sf2";
  std::string note;
  EXPECT_EQ(platform::open_midi(o, &note), nullptr);
  EXPECT_NE(note.find("/nonexistent/peakwend.sf2"), std::string::npos);
  // Auto falls back to no device, with the same reason as a note.
  o.mode = platform::MidiMode::Auto;
  note.clear();
  auto m = platform::open_midi(o, &note);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->device_count(), 0);
  EXPECT_FALSE(note.empty());
}

TEST(Recorder, KeepsTheLatestMessages) {
  platform::MidiRecorder r;
  for (std::uint32_t i = 0; i < 10000; ++i) r.send(i);
  EXPECT_EQ(r.total(), 10000u);
  ASSERT_LE(r.messages().size(), platform::MidiRecorder::kKeep);
  EXPECT_EQ(r.messages().back(), 9999u);
  EXPECT_EQ(r.messages().front(), 10000u - r.messages().size());
}

TEST(LazyMidi, OpensOnFirstUseOnlyAndForwards) {
  int opened = 0;
  auto recorder = std::make_shared<platform::MidiRecorder>();
  platform::LazyMidi lazy([&] {
    ++opened;
    return recorder;
  });
  lazy.reset();  // nothing open yet: nothing to silence, nothing opened
  EXPECT_FALSE(lazy.opened());
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(lazy.device_count(), 1);
  lazy.send(0x7F3C90);
  lazy.send(0x003C90);
  lazy.reset();
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(lazy.describe(), "recorder");
  EXPECT_EQ(recorder->messages(), (std::vector<std::uint32_t>{0x7F3C90, 0x003C90}));
  EXPECT_EQ(recorder->resets(), 1);
}

TEST(LazyMidi, NothingOpenedMeansNoDevice) {
  platform::LazyMidi lazy([] { return std::shared_ptr<platform::MidiOut>(); });
  EXPECT_EQ(lazy.device_count(), 0);
  EXPECT_FALSE(lazy.beep());
  lazy.send(0x7F3C90);
  EXPECT_EQ(lazy.describe(), "none");
}

TEST(Synth, SilentUntilANotePlays) {
  auto s = loaded_synth();
  ASSERT_TRUE(s);
  EXPECT_LT(peak(render(*s, 4410)), kSilent);
  s->send(0x7F3C90);
  EXPECT_GT(peak(render(*s, 441)), 0.01f);
}

TEST(Synth, NoteStartsInTheNextRenderedBlock) {
  auto s = loaded_synth();
  ASSERT_TRUE(s);
  render(*s, 64);
  s->send(0x7F3C90);
  std::vector<float> out = render(*s, 256);
  auto first = std::find_if(out.begin(), out.end(), [](float x) { return std::fabs(x) > 1e-4f; });
  ASSERT_NE(first, out.end());
  EXPECT_LT((first - out.begin()) / 2, 256);
}

TEST(Synth, TwoMillisecondNoteIsStillHeard) {
  // The program's notes: note on, about 2 ms, note off (velocity 0).
  auto s = loaded_synth();
  ASSERT_TRUE(s);
  s->send(0x7F4890);
  render(*s, 88);
  s->send(0x004890);
  EXPECT_GT(peak(render(*s, 441)), 0.01f);
  // Both messages may fall between two audio buffers.
  render(*s, 44100 * 2);
  s->send(0x7F3C90);
  s->send(0x003C90);
  EXPECT_GT(peak(render(*s, 441)), 0.01f);
}

TEST(Synth, NoteAfterALongSilenceSounds) {
  auto s = loaded_synth();
  ASSERT_TRUE(s);
  s->send(0x7F3C90);
  s->send(0x003C90);
  play_for(*s, 10);
  EXPECT_EQ(peak(render(*s, 4410)), 0.0f);  // not even the effects' residue
  s->send(0x7F3C90);
  EXPECT_GT(peak(render(*s, 441)), 0.01f);
}

TEST(Synth, NoteOffAndResetLetTheSoundDie) {
  auto s = loaded_synth();
  ASSERT_TRUE(s);
  s->send(0x7F3C90);
  float loud = peak(render(*s, 4410));
  s->send(0x003C90);
  render(*s, 44100 * 3);
  EXPECT_LT(peak(render(*s, 4410)), loud / 100);
  s->send(0x7F3C90);
  s->send(0x7F4090);
  render(*s, 4410);
  s->reset();
  render(*s, 44100 * 3);
  EXPECT_LT(peak(render(*s, 4410)), loud / 100);
}

TEST(Synth, NotesBeforeTheSoundfontLoadsAreDropped) {
  std::string why;
  auto s = Synth::create(44100, &why);
  ASSERT_TRUE(s) << why;
  EXPECT_EQ(s->state(), Synth::State::Empty);
  s->send(0x7F3C90);
  EXPECT_LT(peak(render(*s, 441)), kSilent);
  s->load_in_background(kTimGM);
  ASSERT_TRUE(s->wait_loaded(std::chrono::seconds(30)));
  EXPECT_LT(peak(render(*s, 4410)), kSilent);
}

TEST(Synth, BrokenSoundfontFailsQuietly) {
  Scratch tmp;
  std::string junk = tmp.file("junk.sf2", "RIFF\x10\0\0\0sfbkLIST");
  std::string why;
  auto s = Synth::create(44100, &why);
  ASSERT_TRUE(s) << why;
  s->load_in_background(junk);
  EXPECT_FALSE(s->wait_loaded(std::chrono::seconds(30)));
  EXPECT_EQ(s->state(), Synth::State::Failed);
  s->send(0x7F3C90);
  EXPECT_LT(peak(render(*s, 441)), kSilent);
}

TEST(Beep, AShortToneMixedOverTheOutput) {
  platform::AudioOut a;  // not opened: mixing works on any buffer
  std::vector<float> buf(2 * 44100, 0.0f);
  a.mix_beep(buf.data(), 44100);
  EXPECT_EQ(peak(buf), 0.0f);
  a.beep();
  a.mix_beep(buf.data(), 44100);
  const int tone = 44100 * platform::AudioOut::kBeepMillis / 1000;
  std::vector<float> during(buf.begin(), buf.begin() + 2 * tone);
  std::vector<float> after(buf.begin() + 2 * tone, buf.end());
  EXPECT_GT(peak(during), 0.1f);
  EXPECT_EQ(peak(after), 0.0f);
  EXPECT_EQ(buf[0], 0.0f);  // faded in: no click
  EXPECT_EQ(buf[0], buf[1]);
}

// The real output path: SDL's disk driver writes what the device plays.
struct DiskAudio {
  Scratch tmp;
  std::string path = (tmp.dir / "out.raw").string();
  DiskAudio() {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
  }
  ~DiskAudio() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  std::vector<float> samples() const {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<float> v(bytes.size() / sizeof(float));
    std::memcpy(v.data(), bytes.data(), v.size() * sizeof(float));
    return v;
  }
};

TEST(SynthDevice, NotePlaysThroughTheAudioDevice) {
  DiskAudio disk;
  {
    std::string why;
    auto m = platform::SynthMidi::open(kTimGM, &why);
    ASSERT_TRUE(m) << why;
    EXPECT_EQ(m->audio().driver(), "disk");
    EXPECT_EQ(m->device_count(), 1);
    ASSERT_TRUE(m->synth().wait_loaded(std::chrono::seconds(30)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // The device's requests are counted and timed (latency measurements).
    const std::uint64_t asked = m->audio().renders();
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_GT(asked, 0u);
    EXPECT_LT(m->audio().last_render(), sent);
    m->send(0x7F3C90);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    m->send(0x003C90);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_GT(m->audio().renders(), asked);
    EXPECT_GT(m->audio().last_render(), sent);
  }
  std::vector<float> out = disk.samples();
  ASSERT_GT(out.size(), 2u * 4410);
  EXPECT_GT(peak(out), 0.01f);
  EXPECT_LT(std::fabs(out[0]), kSilent);  // silence before the note
}

TEST(SynthDevice, BeepPlaysThroughTheAudioDevice) {
  DiskAudio disk;
  {
    std::string why;
    auto m = platform::SynthMidi::open(kTimGM, &why);
    ASSERT_TRUE(m) << why;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(m->beep());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  EXPECT_GT(peak(disk.samples()), 0.1f);
}

}  // namespace
