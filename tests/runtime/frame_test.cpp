// The execution frame: statement yield, run-time error reports and their
// log, SUB frames, GOSUB, END and the main window's form.
#include "runtime/frame.h"

#include <cerrno>
#include <set>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;

std::uint32_t logged(const platform::Registry& reg, const char* name) {
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
  // Closing the window ends the program at the next pumping statement, quietly, with 0.
  Program q(scripted("wait 50\nclose\n"));
  long statements = 0;
  EXPECT_EQ(q.run([&](rt::Runtime& r) {
    for (;; ++statements) r.STMT(), r.host().millis();
  }),
            0);
  EXPECT_TRUE(statements >= 50 && statements <= 50 + 11) << statements;
  EXPECT_FALSE(q.registry().get(rt::Frame::kErrorKey, "CODE")) << "no error report";
}

TEST(RunTimeError, ASubsErrorIsReportedWithItsModuleAndLineAfterAKeyAndLogged) {
  const struct {
    int number;
    std::vector<std::string> rows;
  } cases[] = {
      {9, {"", "zideD.bas [1234行]:エラー[9]", rt::error_message(9), "任意のキーを押してください"}},
      {3, {"", "zideD.bas [1234行]:エラー[3]", "任意のキーを押してください", ""}}};
  for (const auto& c : cases) {
    platform::HostOptions o = scripted("wait 500\nkey x\nwait 100000\n");
    o.start_time = platform::LocalTime{2017, 3, 5, 9, 7, 58};
    Program p(o);
    int code = p.run([&](rt::Runtime& r) {
      r.SET_MAIN_MODULE("main.bas");
      r.SET_MODULE("main.bas");
      r.SET_LINE(10);
      auto frame = r.SUB_ENTER();
      r.SET_MODULE("zideD.bas");
      r.SET_LINE(1234);
      r.RT_ERROR(c.number, rt::location(rt::Op::Element, 3));
    });
    EXPECT_EQ(code, 1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(shown(p.rt(), i), c.rows[i]) << c.number << " " << i;
    EXPECT_TRUE(p.host().now() >= 500 && p.host().now() < 600) << "ended at the key";
    const rt::Frame::LastError& last = p.rt().last_error();
    EXPECT_EQ(std::tuple(last.number, int{last.line}, last.module),
              std::tuple(c.number, 1234, "zideD.bas"));
    platform::Registry log(p.registry().path());  // saved, not only held
    EXPECT_EQ(std::get<std::string>(*log.get(rt::Frame::kErrorKey, "MODL")), "zideD.bas");
    EXPECT_EQ(std::get<std::string>(*log.get(rt::Frame::kErrorKey, "TIME")), "2017/03/05 09:07:58");
    EXPECT_EQ((std::array{logged(log, "LINE"), logged(log, "CODE"), logged(log, "FUNC"),
                          logged(log, "INFO")}),
              (std::array<std::uint32_t, 4>{1234, std::uint32_t(c.number),
                                            std::uint32_t(rt::Op::Element), 3}));
  }
}

TEST(RunTimeError, EveryNumberTheRuntimeRaisesHasAMessageOfItsOwn) {
  std::set<std::string> seen;
  for (int n : {2, 4, 5, 6, 7, 9, 10, 11, 13, 19, 27, 76, 81, 1000, 1002}) {
    EXPECT_TRUE(seen.insert(rt::error_message(n)).second) << n;
  }
  EXPECT_FALSE(seen.count("")) << "each has a message";
  for (int n : {0, 1, 3, 8, 12, 14, 999, 1001}) EXPECT_EQ(rt::error_message(n), "") << n;
}

// Raises an error from inside the window once armed.
class RaisingHost : public platform::HeadlessHost {
 public:
  using HeadlessHost::HeadlessHost;
  bool pump(platform::EventSink& sink) override {
    if (!armed) return HeadlessHost::pump(sink);
    armed = false;
    throw rt::RtError(7, 0x1234);
  }
  bool armed = false;
};

TEST(RunTimeError, ASecondErrorDuringTheReportIsIgnored) {
  auto owned = std::make_unique<RaisingHost>(scripted("wait 300\nkey x\nwait 100000\n"));
  RaisingHost& host = *owned;
  Program p(std::move(owned));
  p.run([&](rt::Runtime& r) { host.armed = true, r.RT_ERROR(5, 0); });
  EXPECT_FALSE(host.armed) << "the report pumped";
  EXPECT_EQ(logged(p.registry(), "CODE"), 5u) << "the first error is the one logged";
  EXPECT_TRUE(p.host().now() >= 300 && p.host().now() < 400) << "the report still waited";
}

TEST(RunTimeError, ErrorZeroIsIgnoredEndSetsTheExitCodeAndSystemErrorsAreMapped) {
  Program p;
  EXPECT_EQ(p.run([](rt::Runtime& r) { rt::raise(0), r.END(3); }), 3);
  EXPECT_EQ(p.run([](rt::Runtime&) {}), 0);
  const std::pair<int, int> mapped[] = {{ENOMEM, 7}, {EINVAL, 5}, {ERANGE, 5}, {123456, 27}};
  for (auto [system, number] : mapped) {
    Program q;
    q.run([&, s = system](rt::Runtime& r) { r.API_ERROR(s, rt::location(rt::Op::System)); });
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
    EXPECT_EQ(r.sub_depth(), 0);
    const rt::UnitContext& c = r.context();
    EXPECT_EQ(std::tuple(c.module, int{c.line}, c.data.record, c.data.offset),
              std::tuple("main.bas", 50, 3u, 7u));
    r.GOSUB([&] { r.SET_LINE(300); });
    EXPECT_EQ(r.context().line, 50) << "RETURN restores the GOSUB's line";
  });
  // Nesting deeper than the stack allows is error 81; the frames unwind.
  p.run([&](rt::Runtime& r) { recurse(r, rt::Frame::kMaxSubDepth + 5); });
  EXPECT_EQ(std::pair(p.rt().last_error().number, p.rt().sub_depth()), std::pair(81, 0));
}

TEST(StartUp, TheWindowComesFromTheFormAndABadFormIsRefused) {
  Program p;
  p.run([](rt::Runtime&) {});
  const platform::WindowSpec& w = p.host().window();
  EXPECT_EQ(std::tuple(w.caption, w.client_width, w.client_height, p.rt().text_columns(),
                       p.rt().text_rows()),
            std::tuple("Peakwend/T", 640, 504, 80, 28));
  Program q;
  EXPECT_EQ(q.rt().run("form = MAINFORM\n", {}, [] { ADD_FAILURE() << "ran"; }), 1);
  ASSERT_EQ(q.host().boxes().size(), 1u);
  EXPECT_NE(q.host().boxes()[0].find("フォームデータがありません"), std::string::npos);

  const std::string head = "form = F\ncaption = C\nposition = 0 0\nfont = FixedSys\n";
  auto form = [&](const std::string& rest) { return rt::parse_form(head + rest, nullptr); };
  auto good = form("# outer size\n  size = 648 531 \t\r\ncharset = 255\nevent = A\nevent = B\n");
  ASSERT_TRUE(good);
  EXPECT_EQ(std::tuple(good->client_width(), good->client_height(), good->charset, good->events),
            std::tuple(640, 504, 255, std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(form("size = 9 28\ncharset = 0\n")) << "a client area of one pixel";
  EXPECT_TRUE(form("size = 16384 16384\ncharset = 1\n"));
  // clang-format off
  for (const char* bad : {"size = 8 531\ncharset = 1\n", "size = 648 27\ncharset = 1\n",
       "size = 16385 531\ncharset = 1\n", "size = 648 16385\ncharset = 1\n", "size = 648 531\n",
       "size = 648 531\ncharset = 256\n", "size = 648 531\ncharset = -1\n", "charset = 1\n",
       "size = 648\ncharset = 1\n", "size = 648 531\ncharset\n", "size = 648 531\ncharset = 1x\n",
       "size = 648 531\ncharset = 1\ncolour = red\n", "size = 648 531\ncharset = 1\nicon =\n"})
    EXPECT_FALSE(form(bad)) << bad;
  // clang-format on
  for (const char* missing : {"form", "caption", "position", "font"}) {
    std::string text = head + "size = 648 531\ncharset = 1\n";
    std::size_t at = text.find(missing);
    text.erase(at, text.find('\n', at) + 1 - at);
    EXPECT_FALSE(rt::parse_form(text, nullptr)) << missing;
  }
  std::string why;
  EXPECT_FALSE(rt::parse_form("form = A\ncaption = B\nposition = 0\n", &why));
  EXPECT_NE(why.find("line 3"), std::string::npos) << why;
}

}  // namespace
