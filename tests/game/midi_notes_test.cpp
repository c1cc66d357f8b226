// MIDI notes through the multimedia library's functions.
#include <gtest/gtest.h>

#include "platform/midi.h"
#include "tests/support/game_program.h"

namespace {

using testing_support::GameProgram;

TEST(MidiNotes, MonSendsNoteOnThenNoteOffOfKey60PlusNJustOverAMillisecondApart) {
  GameProgram g;
  std::uint32_t start = 0, end = 0;
  g.run([&](game::Zided& z) {
    z.MOPEN();
    EXPECT_EQ(z.MIDI_OK, 1);
    EXPECT_NE(z.MIDI_HANDLE, 0);
    z.MON(0);
    start = g.host().millis();
    z.MON(12);
    end = g.host().millis();
  });
  ASSERT_NE(g.host().recorder(), nullptr);
  EXPECT_EQ(g.host().recorder()->messages(),
            (std::vector<std::uint32_t>{0x7F3C90, 0x003C90, 0x7F4890, 0x004890}));
  EXPECT_GE(end - start, 2u);
  EXPECT_LE(end - start, 5u);
  EXPECT_EQ(g.row(0).substr(0, 9), "         ") << "nothing printed when a device exists";
}

TEST(MidiNotes, WithoutADeviceSaysSoAndStaysSilent) {
  platform::HostOptions o;
  o.midi = std::make_shared<platform::NoMidi>();
  GameProgram g(o);
  g.run([&](game::Zided& z) {
    z.MOPEN();
    EXPECT_EQ(z.MIDI_OK, -1);
    EXPECT_EQ(z.MIDI_HANDLE, 0);
    z.MON(3);
  });
  EXPECT_EQ(g.row(0).substr(0, 10), "midi---no ");
}

}  // namespace
