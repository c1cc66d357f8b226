// MIDI devices: the soundfont and device the options choose, the recorder,
// and the device opened on first use. (The synthesizer plays in e2e runs.)
#include "platform/midi.h"

#include <gtest/gtest.h>

#include <fstream>

namespace platform {
namespace {

TEST(MidiChoice, TheNamedSoundfontOrTheFirstUsableOneElseAReason) {
  const std::string gm = "/usr/share/sounds/sf2/TimGM6mb.sf2", missing = "/nonexistent/x.sf2",
                    junk = ::testing::TempDir() + "junk.sf2";
  std::ofstream(junk) << "RIFF0000WAVEfmt ";
  const std::tuple<std::optional<std::string>, std::vector<std::string>, std::optional<std::string>,
                   std::string>
      cases[] = {{gm, {}, gm, ""},
                 {missing, {gm}, std::nullopt, "no soundfont file " + missing},
                 {junk, {gm}, std::nullopt, junk + " is not a soundfont"},
                 {std::nullopt, {missing, junk, gm}, gm, ""},
                 {std::nullopt, {missing, junk}, std::nullopt, "--soundfont FILE"}};
  for (const auto& [named, candidates, want, why] : cases) {
    std::string got;
    EXPECT_EQ(find_soundfont(named, candidates, &got), want) << why;
    EXPECT_NE(got.find(why), std::string::npos) << got;
  }
  std::remove(junk.c_str());
  std::string why;
  EXPECT_TRUE(find_soundfont(std::nullopt, default_soundfonts(), &why)) << why;
  EXPECT_EQ(open_midi({MidiMode::FluidSynth, missing, false, {}}, &why), nullptr);
  EXPECT_NE(why.find(missing), std::string::npos) << why;
  EXPECT_EQ(open_midi({MidiMode::Auto, missing, false, {}}, &why)->describe(), "none");
  EXPECT_EQ(open_midi({MidiMode::Auto, std::nullopt, true, {}}, &why)->describe(), "recorder");
  EXPECT_EQ(open_midi({MidiMode::None, gm, false, {}}, &why)->device_count(), 0);
  EXPECT_EQ(open_midi({MidiMode::Recorder, std::nullopt, false, {}}, &why)->device_count(), 1);
}

TEST(MidiDevices, TheRecorderKeepsTheLatestAndTheLazyDeviceOpensOnFirstUse) {
  MidiRecorder r;
  for (std::uint32_t i = 0; i < 10000; ++i) r.send(i);
  EXPECT_EQ(r.total(), 10000u);
  EXPECT_GE(r.messages().size(), MidiRecorder::kKeep / 2);
  EXPECT_LE(r.messages().size(), MidiRecorder::kKeep);
  for (std::size_t i = 0; i < r.messages().size(); ++i)
    ASSERT_EQ(r.messages()[i], 10000u - r.messages().size() + i);

  int opened = 0;
  auto recorder = std::make_shared<MidiRecorder>();
  LazyMidi lazy([&] { return ++opened, recorder; });
  lazy.reset();
  EXPECT_FALSE(lazy.opened()) << "nothing to silence yet";
  lazy.send(0x7F3C90);
  lazy.reset();
  EXPECT_EQ(std::tuple(opened, recorder->messages(), recorder->resets(), lazy.device_count()),
            std::tuple(1, std::vector<std::uint32_t>{0x7F3C90}, 1, 1));
  LazyMidi nothing([] { return std::shared_ptr<MidiOut>(); });
  nothing.send(0x7F3C90);
  EXPECT_EQ(std::tuple(nothing.device_count(), nothing.beep(), nothing.describe()),
            std::tuple(0, false, "none"));
}

}  // namespace
}  // namespace platform
