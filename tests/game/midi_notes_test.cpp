// The MIDI output opened at start-up, and its absence.
#include <gtest/gtest.h>

#include "platform/midi.h"
#include "tests/support/game_program.h"

namespace {

TEST(Mopen, WithoutADeviceSaysSoAndTheGameStaysSilent) {
  for (bool device : {true, false}) {
    platform::HostOptions o;
    if (!device) o.midi = std::make_shared<platform::NoMidi>();
    testing_support::GameProgram g(o);
    g.run([&](game::Zided& z) { z.MOPEN(); });
    EXPECT_EQ(g.game().MIDI_OK, device ? 1 : -1);
    EXPECT_EQ(g.game().MIDI_HANDLE != 0, device);
    EXPECT_EQ(g.row(0).substr(0, 10), device ? "          " : "midi---no ");
  }
}

}  // namespace
