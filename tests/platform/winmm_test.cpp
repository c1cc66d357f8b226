// The multimedia library beyond what the runtime's library-call tests reach:
// references, the checks of midiOutOpen, running status, the clock's wrap.
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
    return libs.call(libs.find(lib, fn), std::span(args.begin(), args.size())).value_or(99);
  }
  std::uint32_t open(std::int32_t* h, std::uint32_t device = 0, std::uint32_t flags = 0) {
    return call("midiOutOpen", {{0, h}, {device}, {}, {}, {flags}});
  }
};

TEST_F(Winmm, EachLoadTakesAReferenceAndTheLastFreeUnloads) {
  for (const char* name : {"WINMM", "WINMM.DLL", "WinMm.DlL"}) EXPECT_EQ(libs.load(name), lib);
  for (int i = 0; i < 3; ++i) libs.free(lib);
  EXPECT_EQ(libs.references(lib), 1);
  EXPECT_NE(libs.find(lib, "timeGetTime"), 0u);
  libs.free(lib);
  libs.free(lib);
  EXPECT_EQ(libs.find(lib, "timeGetTime"), 0u);
  EXPECT_EQ(libs.load("winmm"), lib);
  EXPECT_EQ(libs.references(lib), 1) << "never below none";
}

// No status yet: dropped. Data alone repeats the last channel status;
// real-time bytes keep it, system common messages end it.
TEST_F(Winmm, OpenChecksItsArgumentsAndMessagesKeepARunningStatus) {
  std::int32_t h = 0, other = 0, again = 0;
  EXPECT_EQ(call("midiOutOpen", {{}, {0}, {}, {}, {}}), mmsys::kInvalidParam);
  EXPECT_EQ(open(&h, 1), mmsys::kBadDeviceId) << "one device: number 0";
  EXPECT_EQ(open(&h, 0, 0x30000), mmsys::kInvalidFlag) << "no callbacks";
  EXPECT_EQ(h, 0);
  EXPECT_EQ(open(&h), mmsys::kNoError);
  EXPECT_EQ(open(&other, mmsys::kMidiMapper), mmsys::kNoError);
  EXPECT_EQ(call("midiOutClose", {{static_cast<std::uint32_t>(h)}}), mmsys::kNoError);
  EXPECT_EQ(open(&again), mmsys::kNoError);
  EXPECT_EQ(libs.open_outputs(), 2u);
  EXPECT_TRUE(again != h && again != other && h != other) << "a reused slot, a new handle";
  for (std::uint32_t m :
       {0x40u, 0x7F3C90u, 0x003Cu, 0xF8u, 0xFF7F3Eu, 0xF6u, 0x7F40u, 0x12345C91u, 0x403C80u})
    EXPECT_EQ(call("midiOutShortMsg", {{static_cast<std::uint32_t>(again)}, {m}}), mmsys::kNoError);
  EXPECT_EQ(rec->messages(), (std::vector<std::uint32_t>{0x7F3C90, 0x003C90, 0xF8, 0x7F3E90, 0xF6,
                                                         0x345C91, 0x403C80}));
  host.advance(0xFFFFFFFFu);
  EXPECT_EQ(call("timeGetTime", {}), 0xFFFFFFFFu);
  EXPECT_EQ(call("timeGetTime", {}), 0u) << "the clock wraps";
}

}  // namespace
}  // namespace platform
