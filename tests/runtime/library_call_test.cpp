// Library calls by name: the loaded-library table and the MIDI functions the
// program opens and plays notes with.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/program.h"

namespace {

using testing_support::error_of;
using testing_support::Program;

platform::HostOptions with(std::shared_ptr<platform::MidiOut> midi) {
  platform::HostOptions o;
  o.midi = std::move(midi);
  return o;
}

TEST(LibraryCall, TheTableComparesNamesInCapitalsAndRefusesWhatIsMissing) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(error_of([&] { r.LIBCALL("KERNEL32", "GetTickCount"); }), 5);
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.drv", "timeGetTime"); }), 5);
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "midiOutFoo"); }), 5);
  EXPECT_EQ(r.loaded_libraries(), 0u) << "a failed first call adds nothing";
  r.LIBCALL("winmm.dll", "midiOutGetNumDevs");
  r.LIBCALL("WinMM.Dll", "timeGetTime");
  EXPECT_EQ(r.loaded_libraries(), 1u);
  // Without the extension it is an entry of its own for the same library.
  r.LIBCALL("WINMM", "timeGetTime");
  r.LIBCALL("winmm", "timeGetTime");
  EXPECT_EQ(r.loaded_libraries(), 2u);
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "timegettime"); }), 5) << "function names are exact";
  // Wrong numbers of arguments.
  EXPECT_EQ(error_of([&] { r.LIBCALL("WINMM", "timeGetTime", 1); }), 5);
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", 1); }), 5);
  std::int32_t h = 0;
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutOpen", &h, -1, 0, 0); }), 5);
}

TEST(LibraryCall, ArgumentsAreRoundedToLongs) {
  auto rec = std::make_shared<platform::MidiRecorder>();
  Program p(with(rec));
  p.start();
  rt::Runtime& r = p.rt();
  std::int32_t h = 0;
  r.LIBCALL("winmm.dll", "midiOutOpen", &h, -1, 0, 0, 0);
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 8337040.5);  // 0x7F3690.8 -> 0x7F3691
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, rt::Single(144));
  r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 0xFFFFFFFFu);  // only the low three bytes go out
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F3691, 0x000090, 0xFFFFFF}));
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 3e9); }), 6);
  EXPECT_EQ(error_of([&] { r.LIBCALL("winmm.dll", "midiOutShortMsg", h, 1LL << 33); }), 6);
}

// How the program opens the output and plays key 60 + n.
void play(rt::Runtime& r, std::int32_t handle, std::int32_t n) {
  r.LIBCALL("winmm.dll", "midiOutShortMsg", handle, 0x7F3C90 + 256 * n);
  std::int32_t t0 = r.LIBCALL("WINMM", "timeGetTime");
  while (r.LIBCALL("WINMM", "timeGetTime") - t0 <= 1) {
  }
  r.LIBCALL("winmm.dll", "midiOutShortMsg", handle, 0x003C90 + 256 * n);
}

TEST(LibraryCall, NotesReachTheRecorder) {
  auto rec = std::make_shared<platform::MidiRecorder>();
  Program p(with(rec));
  p.start();
  rt::Runtime& r = p.rt();
  ASSERT_EQ(r.LIBCALL("WINMM", "midiOutGetNumDevs"), 1);
  std::int32_t handle = 0;
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutOpen", &handle, 0xFFFFFFFFu, 0, 0, 0), 0);
  EXPECT_NE(handle, 0);
  play(r, handle, 0);
  play(r, handle, 12);
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F3C90, 0x003C90, 0x7F4890, 0x004890}));
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutClose", handle), 0);
  EXPECT_EQ(rec->resets(), 1);
  // A closed or never opened handle is refused and nothing is sent.
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutShortMsg", handle, 0x7F3C90), 5);
  EXPECT_EQ(r.LIBCALL("winmm.dll", "midiOutShortMsg", 0, 0x7F3C90), 5);
  EXPECT_EQ(rec->messages().size(), 4u);
}

TEST(LibraryCall, NoDeviceMeansNothingToOpen) {
  Program p(with(std::make_shared<platform::NoMidi>()));
  p.start();
  rt::Runtime& r = p.rt();
  EXPECT_EQ(r.LIBCALL("WINMM", "midiOutGetNumDevs"), 0);
  std::int32_t handle = 0;
  EXPECT_NE(r.LIBCALL("winmm.dll", "midiOutOpen", &handle, -1, 0, 0, 0), 0);
  EXPECT_EQ(handle, 0);
}

TEST(LibraryCall, ProgramEndSilencesOpenOutputs) {
  auto rec = std::make_shared<platform::MidiRecorder>();
  {
    Program p(with(rec));
    p.run([](rt::Runtime& r) {
      std::int32_t handle = 0;
      r.LIBCALL("winmm.dll", "midiOutOpen", &handle, -1, 0, 0, 0);
      r.LIBCALL("winmm.dll", "midiOutShortMsg", handle, 0x7F3C90);
    });
    EXPECT_EQ(rec->resets(), 0);
  }
  EXPECT_EQ(rec->resets(), 1);
}

}  // namespace
