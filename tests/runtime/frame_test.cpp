// The execution frame: statement yield, run-time error reports and their
// log, SUB frames, GOSUB, END and the main window's form.
#include "runtime/frame.h"

#include <cerrno>
#include <set>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;

std::uint32_t logged(platform::Registry& reg, const char* name) {
  auto v = reg.get(rt::Frame::kErrorKey, name);
  return v && std::holds_alternative<std::uint32_t>(*v) ? std::get<std::uint32_t>(*v) : 0xDEADu;
}

TEST(StatementYield, PumpsOnTheFirstStatementThenOnceEveryEleven) {
  Program p;
  p.run([&](rt::Runtime& r) {
    for (int i = 1; i <= 34; ++i) {
      r.STMT();
      ASSERT_EQ(p.host().pumps(), 1 + (i - 1) / 11) << "after statement " << i;
    }
  });
}

TEST(StatementYield, ClosingTheWindowEndsAtTheNextPumpingStatementWithZero) {
  for (const char* end : {"close", "signal"}) {
    Program p(scripted(std::string("wait 50\n") + (end[0] == 'c' ? "close\n" : "")));
    long statements = 0;
    int code = p.run([&](rt::Runtime& r) {
      for (;; ++statements) {
        r.STMT();
        if (r.host().millis() == 50 && end[0] == 's') platform::request_quit_from_signal();
      }
    });
    platform::clear_quit_request();
    EXPECT_EQ(code, 0) << end;
    EXPECT_GE(statements, 50) << end;
    EXPECT_LE(statements, 50 + 11) << end;
    EXPECT_FALSE(p.registry().get(rt::Frame::kErrorKey, "CODE")) << "no error report";
    EXPECT_TRUE(p.host().boxes().empty());
  }
}

// A SUB of module zideD that fails in its own line, as compiled code does.
void failing_sub(rt::Runtime& r, int number, std::uint16_t line) {
  auto frame = r.SUB_ENTER();
  r.SET_MODULE("zideD.bas");
  r.STMT_YIELD();
  r.SET_LINE(line);
  r.RT_ERROR(number, rt::location(rt::Op::Element, 3));
}

TEST(RunTimeError, ASubsErrorIsReportedWithItsModuleAndLineAndLogged) {
  platform::HostOptions o = scripted("key Enter\n");
  o.start_time = platform::LocalTime{2017, 3, 5, 9, 7, 58};
  Program p(o);
  int code = p.run([&](rt::Runtime& r) {
    r.SET_MAIN_MODULE("main.bas");
    r.SET_MODULE("main.bas");
    r.SET_LINE(10);
    failing_sub(r, 9, 1234);
  });
  EXPECT_EQ(code, 1);
  const std::string rows[] = {"", "zideD.bas [1234行]:エラー[9]", rt::error_message(9), "任意のキーを押してください"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(shown(p.rt(), i), rows[i]) << i;
  const rt::Frame::LastError& last = p.rt().last_error();
  EXPECT_EQ(std::tuple(last.number, int{last.line}, last.module), std::tuple(9, 1234, "zideD.bas"));
  platform::Registry log(p.registry().path());  // saved, not only held
  EXPECT_EQ(std::get<std::string>(*log.get(rt::Frame::kErrorKey, "MODL")), "zideD.bas");
  EXPECT_EQ(std::get<std::string>(*log.get(rt::Frame::kErrorKey, "TIME")), "2017/03/05 09:07:58");
  const std::pair<const char*, std::uint32_t> numbers[] = {
      {"LINE", 1234}, {"CODE", 9}, {"FUNC", static_cast<std::uint32_t>(rt::Op::Element)}, {"INFO", 3}};
  for (auto [name, want] : numbers) EXPECT_EQ(logged(log, name), want) << name;
}

TEST(RunTimeError, AnErrorWithoutAMessageStillShowsTheHeaderAndWaitsForOneKey) {
  Program p(scripted("wait 500\nkey x\nwait 100000\n"));
  std::uint32_t raised_at = 0;
  p.run([&](rt::Runtime& r) {
    r.SET_MODULE("zideD.bas");
    r.SET_LINE(7);
    raised_at = r.host().millis();
    r.RT_ERROR(3, 0);
  });
  EXPECT_GE(p.host().now() - raised_at, 500u) << "waited for the key";
  EXPECT_LT(p.host().now() - raised_at, 600u) << "ended at the key";
  EXPECT_EQ(shown(p.rt(), 1), "zideD.bas [7行]:エラー[3]");
  EXPECT_EQ(shown(p.rt(), 2), "任意のキーを押してください");
}

TEST(RunTimeError, EveryNumberTheRuntimeRaisesHasItsOwnMessage) {
  std::set<std::string> seen;
  for (int n : {2, 4, 5, 6, 7, 9, 10, 11, 13, 19, 27, 76, 81, 1000, 1002}) {
    std::string m = rt::error_message(n);
    EXPECT_FALSE(m.empty()) << n;
    EXPECT_TRUE(seen.insert(m).second) << n << " shares its message";
  }
  for (int n : {0, 1, 3, 8, 12, 14, 999, 1001}) EXPECT_EQ(rt::error_message(n), "") << n;
}

// Raises an error from inside the window once armed: a second error during
// the report's key wait.
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
  auto owned = std::make_unique<RaisingHost>(scripted("wait 300\nkey x\nwait 100000\n"));
  RaisingHost& host = *owned;
  Program p(std::move(owned));
  p.run([&](rt::Runtime& r) {
    host.armed = true;
    r.RT_ERROR(5, 0);
  });
  EXPECT_FALSE(host.armed) << "the report pumped";
  EXPECT_EQ(logged(p.registry(), "CODE"), 5u) << "the first error is the one logged";
  EXPECT_GE(p.host().now(), 300u) << "the report still waited for its key";
  EXPECT_LT(p.host().now(), 400u);
}

TEST(RunTimeError, ErrorZeroIsIgnoredEndSetsTheExitCodeAndSystemErrorsAreMapped) {
  Program p;
  EXPECT_EQ(p.run([](rt::Runtime& r) { rt::raise(0), r.END(3); }), 3);
  EXPECT_EQ(p.run([](rt::Runtime&) {}), 0);
  const std::pair<int, int> mapped[] = {{ENOMEM, 7}, {EINVAL, 5}, {ERANGE, 5}, {123456, 27}};
  for (auto [system, number] : mapped) {
    Program q;
    q.run([&, system = system](rt::Runtime& r) { r.API_ERROR(system, rt::location(rt::Op::System)); });
    EXPECT_EQ(q.rt().last_error().number, number) << system;
    EXPECT_EQ(logged(q.registry(), "APIERR"), static_cast<std::uint32_t>(system));
  }
}

// A SUB that checks it starts fresh, then fills its context.
int recurse(rt::Runtime& r, int depth) {
  auto frame = r.SUB_ENTER();
  EXPECT_EQ(std::tuple(r.context().line, r.context().module, r.context().data.valid()),
            std::tuple(0, "", false));
  r.SET_MODULE("zideD.bas");
  r.SET_LINE(static_cast<std::uint16_t>(100 + depth));
  int below = depth == 0 ? 0 : 1 + recurse(r, depth - 1);
  EXPECT_EQ(r.context().line, 100 + depth) << "the caller's context comes back";
  return below;
}

TEST(SubFrames, EachCallStartsFreshAndTheCallersContextComesBack) {
  Program p;
  p.run([&](rt::Runtime& r) {
    r.SET_MODULE("main.bas");
    r.SET_LINE(50);
    r.context().data = rt::DataPos{3, 7};
    EXPECT_EQ(recurse(r, 5), 5);
    EXPECT_EQ(recurse(r, 0), 0);
    EXPECT_EQ(r.sub_depth(), 0);
    EXPECT_EQ(std::tuple(r.context().module, int{r.context().line}, r.context().data.record,
                         r.context().data.offset),
              std::tuple("main.bas", 50, 3u, 7u));
    r.GOSUB([&] { r.SET_LINE(300); });
    EXPECT_EQ(r.context().line, 50) << "RETURN restores the GOSUB's line";
  });
  // Nesting deeper than the stack allows is error 81; the frames unwind.
  p.run([&](rt::Runtime& r) { recurse(r, rt::Frame::kMaxSubDepth + 5); });
  EXPECT_EQ(p.rt().last_error().number, 81);
  EXPECT_EQ(p.rt().sub_depth(), 0);
}

TEST(StartUp, TheWindowComesFromTheFormAndABadFormIsRefused) {
  Program p;
  p.run([](rt::Runtime&) {});
  EXPECT_EQ(p.host().window().caption, "Peakwend/T");
  EXPECT_EQ(std::pair(p.host().window().client_width, p.host().window().client_height), std::pair(640, 504));
  EXPECT_EQ(std::pair(p.rt().text_columns(), p.rt().text_rows()), std::pair(80, 28));

  Program q;
  EXPECT_EQ(q.rt().run("form = MAINFORM\n", {}, [] { ADD_FAILURE() << "ran"; }), 1);
  ASSERT_EQ(q.host().boxes().size(), 1u);
  EXPECT_NE(q.host().boxes()[0].find("フォームデータがありません"), std::string::npos);
}

TEST(Form, DescriptionsAreReadOrRefused) {
  const std::string head = "form = F\ncaption = C\nposition = 0 0\nfont = FixedSys\n";
  auto form = [&](const std::string& rest) { return rt::parse_form(head + rest, nullptr); };
  auto good = form("# outer size\n  size = 648 531 \t\r\ncharset = 255\nevent = A\nevent = B\n");
  ASSERT_TRUE(good);
  EXPECT_EQ(std::pair(good->client_width(), good->client_height()), std::pair(640, 504));
  EXPECT_EQ(good->charset, 255);
  EXPECT_EQ(good->events, (std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(form("size = 9 28\ncharset = 0\n")) << "a client area of one pixel";
  EXPECT_TRUE(form("size = 16384 16384\ncharset = 1\n"));
  for (const char* bad : {"size = 8 531\ncharset = 1\n", "size = 648 27\ncharset = 1\n",
                          "size = 16385 531\ncharset = 1\n", "size = 648 16385\ncharset = 1\n",
                          "size = 648 531\ncharset = 256\n", "size = 648 531\ncharset = -1\n",
                          "size = 648\ncharset = 1\n", "size = 648 531\n", "charset = 1\n",
                          "size = 648 531\ncharset = 1\ncolour = red\n", "size = 648 531\ncharset\n",
                          "size = 648 531\ncharset = 1x\n", "size = 648 531\ncharset = 1\nicon =\n"}) {
    EXPECT_FALSE(form(bad)) << bad;
  }
  std::string why;
  EXPECT_FALSE(rt::parse_form("form = A\ncaption = B\nposition = 0\n", &why));
  EXPECT_NE(why.find("line 3"), std::string::npos) << why;
  for (const char* missing : {"form", "caption", "position", "font"}) {
    std::string text = head + "size = 648 531\ncharset = 1\n";
    text.erase(text.find(missing), text.find('\n', text.find(missing)) + 1 - text.find(missing));
    EXPECT_FALSE(rt::parse_form(text, nullptr)) << missing;
  }
}

TEST(Polls, TheSameQuestionAnsweredAlikeTwiceMeansTheProgramWaits) {
  Program p;
  p.start();
  rt::Runtime& r = p.rt();
  const std::tuple<std::uint32_t, std::int64_t, int> polls[] = {{1, 0, 0}, {2, 0, 0}, {1, 0, 1}, {1, -1, 1}};
  for (auto [question, answer, idles] : polls) {
    r.note_poll(question, answer);
    EXPECT_EQ(p.host().idles(), idles) << question << " " << answer;
  }
  r.on_event(mouse(platform::Event::Type::MouseMove, 1, 1));  // input is news
  r.note_poll(1, 0);
  EXPECT_EQ(p.host().idles(), 1);
}

}  // namespace
