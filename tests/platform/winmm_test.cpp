// The multimedia library stand-in on its own.
#include "platform/winmm.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/headless_host.h"

namespace {

using platform::CallArg;
using platform::SystemLibraries;
namespace mmsys = platform::mmsys;

struct Fixture : ::testing::Test {
  std::shared_ptr<platform::MidiRecorder> rec = std::make_shared<platform::MidiRecorder>();
  platform::HeadlessHost host{[this] {
    platform::HostOptions o;
    o.midi = rec;
    return o;
  }()};
  SystemLibraries libs{host};
  platform::LibraryHandle lib = libs.load("winmm");

  std::uint32_t call(std::string_view fn, std::initializer_list<CallArg> args) {
    auto r = libs.call(libs.find(lib, fn), std::span<const CallArg>(args.begin(), args.size()));
    EXPECT_TRUE(r) << fn;
    return r.value_or(0xDEAD);
  }
  std::int32_t open() {
    std::int32_t h = 0;
    EXPECT_EQ(call("midiOutOpen", {{0, &h}, {mmsys::kMidiMapper}, {}, {}, {}}), mmsys::kNoError);
    return h;
  }
  std::uint32_t send(std::int32_t h, std::uint32_t msg) {
    return call("midiOutShortMsg", {{static_cast<std::uint32_t>(h)}, {msg}});
  }
};

using Winmm = Fixture;

TEST_F(Winmm, LoadsByEitherNameInAnyCaseAndFreesAtTheLastReference) {
  for (const char* name : {"winmm", "WINMM.DLL", "WinMm.DlL"})
    EXPECT_EQ(libs.load(name), lib) << name;
  for (const char* name : {"", "WINMM32", "winmm.drv", "WINMM.DLL "}) {
    EXPECT_EQ(libs.load(name), 0u) << name;
  }
  EXPECT_EQ(libs.references(lib), 4);
  EXPECT_EQ(libs.find(lib, "TIMEGETTIME"), 0u);
  for (int i = 0; i < 3; ++i) libs.free(lib);
  EXPECT_NE(libs.find(lib, "timeGetTime"), 0u);
  libs.free(lib);
  EXPECT_EQ(libs.find(lib, "timeGetTime"), 0u);
  EXPECT_FALSE(libs.call(0, {}));
}

TEST_F(Winmm, OpenChecksItsArguments) {
  std::int32_t h = 0;
  EXPECT_EQ(call("midiOutOpen", {{}, {mmsys::kMidiMapper}, {}, {}, {}}), mmsys::kInvalidParam);
  EXPECT_EQ(call("midiOutOpen", {{0, &h}, {1}, {}, {}, {}}), mmsys::kBadDeviceId);
  EXPECT_EQ(call("midiOutOpen", {{0, &h}, {0}, {}, {}, {0x30000}}), mmsys::kInvalidFlag);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(call("midiOutOpen", {{0, &h}, {0}, {}, {}, {}}), mmsys::kNoError);
  EXPECT_NE(h, 0);
  EXPECT_NE(open(), h);
  EXPECT_EQ(libs.open_outputs(), 2u);
}

TEST_F(Winmm, RunningStatusRepeatsTheLastChannelStatus) {
  std::int32_t h = open();
  EXPECT_EQ(send(h, 0x40), mmsys::kNoError);  // no status yet: dropped
  send(h, 0x7F3C91);
  send(h, 0x003C);  // key 60 velocity 0 on the same status
  send(h, 0xF8);    // real-time: keeps the running status
  send(h, 0x7F3E);
  send(h, 0xF6);  // system common: clears it
  send(h, 0x7F40);
  EXPECT_EQ(rec->messages(),
            (std::vector<std::uint32_t>{0x7F3C91, 0x003C91, 0xF8, 0x7F3E91, 0xF6}));
}

TEST_F(Winmm, CloseSilencesAndInvalidatesTheHandle) {
  std::int32_t h = open();
  EXPECT_EQ(call("midiOutClose", {{static_cast<std::uint32_t>(h)}}), mmsys::kNoError);
  EXPECT_EQ(rec->resets(), 1);
  EXPECT_EQ(call("midiOutClose", {{static_cast<std::uint32_t>(h)}}), mmsys::kInvalidHandle);
  EXPECT_EQ(send(h, 0x7F3C90), mmsys::kInvalidHandle);
  EXPECT_EQ(libs.open_outputs(), 0u);
}

TEST_F(Winmm, TimeGetTimeIsTheHostClockAndWraps) {
  host.advance(5000);
  std::uint32_t t = call("timeGetTime", {});
  EXPECT_GE(t, 5000u);
  EXPECT_LE(t, 5001u);
  host.advance(1u << 31);
  EXPECT_GE(call("timeGetTime", {}), t + (1u << 31));
}

}  // namespace
