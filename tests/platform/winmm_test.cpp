// The multimedia library as the program calls it by name: loading, the MIDI
// output functions with their results, and the millisecond clock.
#include "platform/winmm.h"

#include <gtest/gtest.h>

#include "platform/headless_host.h"

namespace platform {
namespace {

HostOptions playing_on(std::shared_ptr<MidiOut> device) {
  HostOptions o;
  o.midi = std::move(device);
  return o;
}

struct Winmm : ::testing::Test {
  std::shared_ptr<MidiRecorder> rec = std::make_shared<MidiRecorder>();
  HeadlessHost host{playing_on(rec)};
  std::optional<SystemLibraries> libs{host};
  LibraryHandle lib = libs->load("winmm");

  std::optional<std::uint32_t> call(std::string_view fn, std::initializer_list<CallArg> args) {
    return libs->call(libs->find(lib, fn), std::span<const CallArg>(args.begin(), args.size()));
  }
  std::uint32_t open(std::int32_t* h, std::uint32_t device = mmsys::kMidiMapper, std::uint32_t flags = 0) {
    return call("midiOutOpen", {{0, h}, {device}, {}, {}, {flags}}).value_or(99);
  }
  std::uint32_t send(std::int32_t h, std::uint32_t msg) {
    return call("midiOutShortMsg", {{static_cast<std::uint32_t>(h)}, {msg}}).value_or(99);
  }
  std::uint32_t close(std::int32_t h) { return call("midiOutClose", {{static_cast<std::uint32_t>(h)}}).value_or(99); }
};

TEST_F(Winmm, LoadsByEitherNameInAnyCaseAndFindsFunctionsByExactName) {
  ASSERT_NE(lib, 0u);
  for (const char* name : {"WINMM", "WINMM.DLL", "WinMm.DlL"}) EXPECT_EQ(libs->load(name), lib) << name;
  for (const char* name : {"", "WINMM32", "winmm.drv", "WINMM.DLL ", "kernel32"}) EXPECT_EQ(libs->load(name), 0u) << name;
  EXPECT_EQ(libs->references(lib), 4);
  EXPECT_EQ(libs->references(0), 0);
  for (const char* fn : {"midiOutGetNumDevs", "midiOutOpen", "midiOutShortMsg", "midiOutClose", "timeGetTime"})
    EXPECT_NE(libs->find(lib, fn), 0u) << fn;
  for (const char* fn : {"TIMEGETTIME", "midiOutOpenA", ""}) EXPECT_EQ(libs->find(lib, fn), 0u) << fn;
  EXPECT_EQ(libs->find(0, "timeGetTime"), 0u);
  // Each load took a reference; the library goes with the last.
  for (int i = 0; i < 3; ++i) libs->free(lib);
  EXPECT_NE(libs->find(lib, "timeGetTime"), 0u);
  libs->free(lib);
  libs->free(lib);
  EXPECT_EQ(libs->find(lib, "timeGetTime"), 0u);
  EXPECT_EQ(libs->load("winmm"), lib);
  EXPECT_EQ(libs->references(lib), 1);
}

TEST_F(Winmm, CallsWithTheWrongNumberOfArgumentsOrNoFunctionFail) {
  EXPECT_EQ(call("midiOutGetNumDevs", {}), 1u);
  EXPECT_EQ(call("midiOutGetNumDevs", {{1}}), std::nullopt);
  EXPECT_EQ(call("midiOutShortMsg", {{1}}), std::nullopt);
  EXPECT_EQ(libs->call(0, {}), std::nullopt);
  EXPECT_EQ(libs->call(libs->find(lib, "timeGetTime") + 5, {}), std::nullopt);
}

TEST_F(Winmm, OpenChecksItsArgumentsAndGivesAFreshHandle) {
  std::int32_t h = 0, other = 0;
  EXPECT_EQ(call("midiOutOpen", {{}, {mmsys::kMidiMapper}, {}, {}, {}}), mmsys::kInvalidParam);
  EXPECT_EQ(open(&h, 1), mmsys::kBadDeviceId) << "one device: number 0";
  EXPECT_EQ(open(&h, 0, 0x30000), mmsys::kInvalidFlag) << "no callbacks";
  EXPECT_EQ(h, 0);
  EXPECT_EQ(open(&h, 0), mmsys::kNoError);
  EXPECT_EQ(open(&other), mmsys::kNoError);
  EXPECT_NE(h, 0);
  EXPECT_NE(other, h);
  EXPECT_EQ(libs->open_outputs(), 2u);
  EXPECT_EQ(close(h), mmsys::kNoError);
  EXPECT_EQ(open(&h), mmsys::kNoError);
  EXPECT_NE(h, other) << "a reused slot, a new handle";
  // Without a device nothing opens.
  HeadlessHost silent{playing_on(std::make_shared<NoMidi>())};
  SystemLibraries none(silent);
  std::int32_t n = 0;
  const std::initializer_list<CallArg> args = {{0, &n}, {mmsys::kMidiMapper}, {}, {}, {}};
  EXPECT_EQ(none.call(none.find(none.load("WINMM"), "midiOutGetNumDevs"), {}), 0u);
  EXPECT_EQ(none.call(none.find(none.load("WINMM"), "midiOutOpen"), std::span(args.begin(), 5)), mmsys::kBadDeviceId);
}

TEST_F(Winmm, MessagesReachTheDeviceWithRunningStatus) {
  std::int32_t h = 0;
  ASSERT_EQ(open(&h), mmsys::kNoError);
  const std::uint32_t sent[] = {0x40, 0x7F3C90, 0x003C, 0xF8, 0xFF7F3E, 0xF6, 0x7F40, 0x12345C91, 0x00C0};
  for (std::uint32_t m : sent) EXPECT_EQ(send(h, m), mmsys::kNoError) << m;
  // No status yet: dropped. Data alone repeats the last channel status;
  // real-time bytes keep it, system common messages end it.
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F3C90, 0x003C90, 0xF8, 0x7F3E90, 0xF6,
                                                         0x345C91, 0x00C0}));
  EXPECT_EQ(send(h + 1, 0x7F3C90), mmsys::kInvalidHandle);
  EXPECT_EQ(send(0, 0x7F3C90), mmsys::kInvalidHandle);
}

TEST_F(Winmm, CloseSilencesTheDeviceAndEndsTheHandle) {
  std::int32_t h = 0;
  ASSERT_EQ(open(&h), mmsys::kNoError);
  EXPECT_EQ(close(h), mmsys::kNoError);
  EXPECT_EQ(rec->resets(), 1);
  EXPECT_EQ(close(h), mmsys::kInvalidHandle);
  EXPECT_EQ(send(h, 0x7F3C90), mmsys::kInvalidHandle);
  EXPECT_EQ(libs->open_outputs(), 0u);
  EXPECT_EQ(rec->total(), 0u);
  // The program never closes its output: the end of the program silences it.
  ASSERT_EQ(open(&h), mmsys::kNoError);
  libs.reset();
  EXPECT_EQ(rec->resets(), 2);
}

TEST_F(Winmm, TimeGetTimeIsTheHostClockAndWraps) {
  host.advance(5000);
  const std::uint32_t now = host.now();
  EXPECT_EQ(call("timeGetTime", {}), now);
  host.advance(0xFFFFFFFFu - host.now());
  EXPECT_EQ(call("timeGetTime", {}), 0xFFFFFFFFu);
  EXPECT_EQ(call("timeGetTime", {}), 0u);
}

}  // namespace
}  // namespace platform
