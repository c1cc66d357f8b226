#include "runtime/frame.h"

#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "tests/support/program.h"

namespace {

using testing_support::Program;

platform::HostOptions with_script(std::string_view text) {
  platform::HostOptions o;
  std::string err;
  o.script = platform::parse_script(text, &err);
  EXPECT_TRUE(o.script.has_value()) << err;
  return o;
}

TEST(StatementYield, PumpsOnTheFirstStatementThenEveryEleventh) {
  Program p;
  std::vector<int> pumps_after;
  int code = p.run([&](rt::Runtime& r) {
    for (int i = 1; i <= 23; ++i) {
      r.STMT();
      pumps_after.push_back(p.host().pumps());
    }
  });
  EXPECT_EQ(code, 0);
  // The first, twelfth and twenty-third statements pump.
  for (int i = 1; i <= 23; ++i) {
    EXPECT_EQ(pumps_after[static_cast<std::size_t>(i - 1)], i < 12 ? 1 : i < 23 ? 2 : 3) << i;
  }
}

TEST(StatementYield, ClosingDuringALongLoopEndsQuietlyWithZero) {
  Program p(with_script("wait 50\nclose\n"));
  long statements = 0;
  int code = p.run([&](rt::Runtime& r) {
    for (;;) {  // a long animation: statements that read the clock
      r.STMT();
      r.host().millis();
      ++statements;
    }
  });
  EXPECT_EQ(code, 0);
  EXPECT_GE(statements, 50);
  EXPECT_LT(statements, 50 + 12) << "ends at the next pumping statement";
  EXPECT_FALSE(p.registry().get(rt::Frame::kErrorKey, "CODE").has_value()) << "no report";
  EXPECT_TRUE(p.host().boxes().empty());
}

TEST(StatementYield, SignalEndsTheProgramLikeAClose) {
  Program p;
  int code = p.run([&](rt::Runtime& r) {
    r.STMT();
    platform::request_quit_from_signal();
    for (;;) r.STMT();
  });
  platform::clear_quit_request();
  EXPECT_EQ(code, 0);
}

// A SUB of a module that fails on a given line, as compiled game code does.
void failing_sub(rt::Runtime& r, std::uint16_t line) {
  auto frame = r.SUB_ENTER();
  r.SET_MODULE("zideD.bas");
  r.STMT_YIELD();
  r.SET_LINE(line);
  r.RT_ERROR(9, rt::location(rt::Op::Element, 3));
}

TEST(RunTimeError, InASubReportsModuleLineAndLogsIt) {
  Program p(with_script("idle\nkey Enter\n"));
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MAIN_MODULE("zideD.bas");
    r.SET_MODULE("zideD.bas");
    r.SET_LINE(10);
    failing_sub(r, 1234);
  });
  EXPECT_EQ(code, 1) << "a program that failed does not report success";
  // Reported in the window after a line break, and logged.
  EXPECT_EQ(p.rt().text_row(1).substr(0, 30),
            platform::utf8_to_sjis("zideD.bas [1234行]:エラー[9]") + "  ");
  const rt::Frame& f = p.rt();
  EXPECT_EQ(f.last_error().number, 9);
  EXPECT_EQ(f.last_error().line, 1234);
  EXPECT_EQ(f.last_error().module, "zideD.bas");
  platform::Registry log(p.registry().path());  // saved to the file, not just held in memory
  auto get = [&](const char* name) { return log.get(rt::Frame::kErrorKey, name).value_or(0u); };
  EXPECT_EQ(std::get<std::string>(get("MODL")), "zideD.bas");
  const std::pair<const char*, std::uint32_t> numbers[] = {
      {"LINE", 1234},
      {"CODE", 9},
      {"FUNC", static_cast<std::uint32_t>(rt::Op::Element)},
      {"INFO", 3}};
  for (auto [name, want] : numbers) EXPECT_EQ(std::get<std::uint32_t>(get(name)), want) << name;
  std::string when = std::get<std::string>(get("TIME"));
  EXPECT_TRUE(when.size() == 19 && when[4] == '/' && when[13] == ':') << when;
}

TEST(RunTimeError, TheReportWaitsForOneKeyThenEnds) {
  Program p(with_script("wait 500\nkey x\nwait 100000\n"));
  std::uint32_t raised_at = 0;
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MODULE("zideD.bas");
    r.LOCATE(0, 0, 0);
    raised_at = r.host().millis();
    r.RT_ERROR(5, 0);
  });
  EXPECT_EQ(code, 1);
  std::uint32_t ended_at = p.host().now();
  EXPECT_GE(ended_at - raised_at, 500u) << "waited for the key";
  EXPECT_LT(ended_at - raised_at, 600u) << "ended at the key, not at the script's end";
  std::string row3 = platform::sjis_to_utf8(p.rt().text_row(3));
  EXPECT_NE(row3.find("任意のキーを押してください"), std::string::npos) << row3;
}

// A host whose window raises a run-time error while it is pumped, once
// armed: what a failing window procedure does during the report's key wait.
class RaisingHost : public platform::HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  bool pump(platform::EventSink& sink) override {
    if (armed) {
      armed = false;
      throw rt::RtError(7, 0x1234);
    }
    return HeadlessHost::pump(sink);
  }
  bool armed = false;
};

TEST(RunTimeError, ASecondErrorDuringTheReportIsIgnored) {
  auto owned = std::make_unique<RaisingHost>(with_script("wait 300\nkey x\nwait 100000\n"));
  RaisingHost& host = *owned;
  Program p(std::move(owned));
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MODULE("zideD.bas");
    r.SET_LINE(42);
    host.armed = true;  // the next pump is the report's
    r.RT_ERROR(5, 0);
  });
  EXPECT_EQ(code, 1);
  EXPECT_FALSE(host.armed) << "the report pumped";
  EXPECT_EQ(std::get<std::uint32_t>(*p.registry().get(rt::Frame::kErrorKey, "CODE")), 5u)
      << "the first error is the one logged";
  EXPECT_GE(p.host().now(), 300u) << "the report still waited for its key";
  EXPECT_LT(p.host().now(), 400u);
}

TEST(RunTimeError, ErrorZeroIsIgnoredAndEndGivesItsExitCode) {
  Program p;
  EXPECT_EQ(p.run([&](rt::Runtime& r) {
    rt::raise(0);
    r.END(3);
  }),
            3);
}

TEST(RunTimeError, ApiErrorLogsTheSystemCodeAndMapsIt) {
  Program p;
  p.run([&](rt::Runtime& r) { r.API_ERROR(12 /* ENOMEM */, rt::location(rt::Op::System)); });
  EXPECT_EQ(p.rt().last_error().number, 7);
  EXPECT_EQ(std::get<std::uint32_t>(*p.registry().get(rt::Frame::kErrorKey, "APIERR")), 12u);
  EXPECT_EQ(rt::map_system_error(123456), 27);
}

TEST(RunTimeError, TheReportStillGoesOutWhenTheLogCannotBeWritten) {
  Program p;
  platform::Registry unwritable("/proc/peakwend-no-such-dir/registry");
  rt::Runtime r2(p.host(), unwritable);
  int code = r2.run(testing_support::test_form(), {}, [&] { r2.RT_ERROR(5, 0); });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(r2.last_error().number, 5);
}

TEST(SubFrames, SaveAndRestoreTheUnitContext) {
  Program p;
  p.run([&](rt::Runtime& r) {
    r.SET_MODULE("main.bas");
    r.SET_LINE(50);
    r.context().data = rt::DataPos{3, 7};
    {
      auto frame = r.SUB_ENTER();
      EXPECT_EQ(r.sub_depth(), 1);
      EXPECT_TRUE(r.context().module.empty()) << "no module until the SUB sets it";
      EXPECT_FALSE(r.context().data.valid()) << "a SUB has no DATA to read";
      r.SET_MODULE("zideD.bas");
      r.SET_LINE(77);
    }
    EXPECT_EQ(r.sub_depth(), 0);
    EXPECT_EQ(r.context().module, "main.bas");
    EXPECT_EQ(r.context().line, 50);
    EXPECT_EQ(std::pair(r.context().data.record, r.context().data.offset),
              std::pair(std::size_t{3}, std::size_t{7}));
  });
}

// A recursive SUB that counts its own fresh state on every call.
int recurse(rt::Runtime& r, int depth) {
  auto frame = r.SUB_ENTER();
  EXPECT_EQ(r.context().line, 0) << "fresh on every call";
  r.SET_LINE(static_cast<std::uint16_t>(depth));
  return depth == 0 ? 0 : 1 + recurse(r, depth - 1);
}

TEST(SubFrames, TooDeepNestingIsError81AndTheFrameUnwinds) {
  Program p;
  EXPECT_EQ(p.run([&](rt::Runtime& r) { recurse(r, 100); }), 0);
  int code = p.run([&](rt::Runtime& r) { recurse(r, rt::Frame::kMaxSubDepth + 5); });
  EXPECT_EQ(code, 1);
  EXPECT_EQ(p.rt().last_error().number, 81);
  EXPECT_EQ(p.rt().sub_depth(), 0);
}

TEST(Gosub, RestoresTheLineOfTheGosub) {
  Program p;
  p.run([&](rt::Runtime& r) {
    r.SET_LINE(20);
    r.GOSUB([&] { r.SET_LINE(300); });
    EXPECT_EQ(r.context().line, 20);
  });
}

TEST(FrameStartUp, AFormWithoutDataFailsWithTheFramesMessage) {
  Program p;
  int code = p.rt().run("form = MAINFORM\n", {}, [] { FAIL() << "must not run"; });
  EXPECT_EQ(code, 1);
  ASSERT_EQ(p.host().boxes().size(), 1u);
  EXPECT_NE(p.host().boxes()[0].find("フォームデータがありません"), std::string::npos);
}

TEST(FrameStartUp, TheWindowComesFromTheForm) {
  Program p;
  p.run([](rt::Runtime&) {});
  EXPECT_EQ(p.host().window().caption, "Peakwend/T");
  EXPECT_EQ(p.host().window().client_width, 640);
  EXPECT_EQ(p.host().window().client_height, 504);
  EXPECT_EQ(p.rt().form().font, "FixedSys");
  EXPECT_EQ(p.rt().form().charset, 128);
  EXPECT_EQ(p.rt().form().events.back(), "MAINFORM_QUERYCLOSE");
}

TEST(Form, RejectsMalformedDescriptions) {
  std::string err;
  EXPECT_FALSE(rt::parse_form("form = A\ncaption = B\nposition = 0\n", &err));
  EXPECT_NE(err.find("line 3"), std::string::npos) << err;
  for (const char* bad :
       {"form = A\nnonsense\n", "form = A\ncolour = red\n",
        // a window too small for any client area
        "form = A\ncaption = B\nposition = 0 0\nsize = 5 5\nfont = F\ncharset = 1\n"}) {
    EXPECT_FALSE(rt::parse_form(bad, &err)) << bad;
  }
}

TEST(Polls, TheSameQuestionAnsweredAlikeTwiceIsIdle) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  r.note_poll(1, 0);
  r.note_poll(2, 0);
  EXPECT_EQ(p.host().idles(), 0);
  r.note_poll(1, 0);
  EXPECT_EQ(p.host().idles(), 1);
  r.note_poll(1, -1);  // a new answer is news
  EXPECT_EQ(p.host().idles(), 1);
  platform::Event e;
  e.type = platform::Event::Type::MouseMove;
  r.on_event(e);  // input resets what the program has seen
  r.note_poll(1, 0);
  EXPECT_EQ(p.host().idles(), 1);
}

}  // namespace
