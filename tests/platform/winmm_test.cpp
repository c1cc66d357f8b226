// The multimedia library on its own (the runtime's library-call tests drive
// it by name): references, the checks of midiOutOpen, running status, the
// clock.
#include "platform/winmm.h"

#include <gtest/gtest.h>

#include "platform/headless_host.h"

namespace platform {
namespace {

struct Winmm : ::testing::Test {
  std::shared_ptr<MidiRecorder> rec = std::make_shared<MidiRecorder>();
  HeadlessHost host{[this] {
    HostOptions o;
    o.midi = rec;
    return o;
  }()};
  SystemLibraries libs{host};
  LibraryHandle lib = libs.load("winmm");

  std::uint32_t call(std::string_view fn, std::initializer_list<CallArg> args) {
    auto r = libs.call(libs.find(lib, fn), std::span(args.begin(), args.size()));
    return r.value_or(99);
  }
  std::uint32_t open(std::int32_t* h, std::uint32_t device = mmsys::kMidiMapper,
                     std::uint32_t flags = 0) {
    return call("midiOutOpen", {{0, h}, {device}, {}, {}, {flags}});
  }
  std::uint32_t send(std::int32_t h, std::uint32_t msg) {
    return call("midiOutShortMsg", {{static_cast<std::uint32_t>(h)}, {msg}});
  }
};

TEST_F(Winmm, EachLoadTakesAReferenceAndTheLastFreeUnloads) {
  for (const char* name : {"WINMM", "WINMM.DLL", "WinMm.DlL"}) EXPECT_EQ(libs.load(name), lib);
  EXPECT_EQ(libs.references(lib), 4);
  for (int i = 0; i < 3; ++i) libs.free(lib);
  EXPECT_NE(libs.find(lib, "timeGetTime"), 0u);
  libs.free(lib);
  libs.free(lib);
  EXPECT_EQ(libs.find(lib, "timeGetTime"), 0u);
  EXPECT_EQ(libs.load("winmm"), lib);
  EXPECT_EQ(libs.references(lib), 1) << "never below none";
  EXPECT_EQ(libs.call(libs.find(lib, "timeGetTime") + 5, {}), std::nullopt);
}

TEST_F(Winmm, OpenChecksItsArgumentsAndHandsOutFreshHandles) {
  std::int32_t h = 0, other = 0;
  EXPECT_EQ(call("midiOutOpen", {{}, {mmsys::kMidiMapper}, {}, {}, {}}), mmsys::kInvalidParam);
  EXPECT_EQ(open(&h, 1), mmsys::kBadDeviceId) << "one device: number 0";
  EXPECT_EQ(open(&h, 0, 0x30000), mmsys::kInvalidFlag) << "no callbacks";
  EXPECT_EQ(h, 0);
  EXPECT_EQ(open(&h, 0), mmsys::kNoError);
  EXPECT_EQ(open(&other), mmsys::kNoError);
  EXPECT_NE(other, h);
  EXPECT_EQ(libs.open_outputs(), 2u);
  EXPECT_EQ(call("midiOutClose", {{static_cast<std::uint32_t>(h)}}), mmsys::kNoError);
  EXPECT_EQ(libs.open_outputs(), 1u);
  std::int32_t again = 0;
  EXPECT_EQ(open(&again), mmsys::kNoError);
  EXPECT_TRUE(again != h && again != other) << "a reused slot, a new handle";
  EXPECT_EQ(send(h, 0x7F3C90), mmsys::kInvalidHandle);
}

// No status yet: dropped. Data alone repeats the last channel status;
// real-time bytes keep it, system common messages end it.
TEST_F(Winmm, MessagesReachTheDeviceWithRunningStatus) {
  std::int32_t h = 0;
  ASSERT_EQ(open(&h), mmsys::kNoError);
  for (std::uint32_t m :
       {0x40u, 0x7F3C90u, 0x003Cu, 0xF8u, 0xFF7F3Eu, 0xF6u, 0x7F40u, 0x12345C91u, 0xC0u})
    EXPECT_EQ(send(h, m), mmsys::kNoError) << m;
  EXPECT_EQ(rec->messages(),
            (std::vector<std::uint32_t>{0x7F3C90, 0x003C90, 0xF8, 0x7F3E90, 0xF6, 0x345C91, 0xC0}));
}

TEST_F(Winmm, TimeGetTimeIsTheHostClockAndWraps) {
  host.advance(0xFFFFFFFFu);
  EXPECT_EQ(call("timeGetTime", {}), 0xFFFFFFFFu);
  EXPECT_EQ(call("timeGetTime", {}), 0u);
}

}  // namespace
}  // namespace platform
