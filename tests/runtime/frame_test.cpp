// The execution frame: statement yield, run-time error reports and their
// log, SUB frames, GOSUB, END and the main window's form.
#include "runtime/frame.h"

#include <cerrno>
#include <csignal>

#include "tests/runtime/harness.h"

namespace {

using namespace rt_test;

// A value of the error log as a string ("" when missing).
std::string logged(const platform::Registry& reg, const char* name) {
  auto v = reg.get(rt::Frame::kErrorKey, name);
  if (!v) return "";
  if (auto* n = std::get_if<std::uint32_t>(&*v)) return std::to_string(*n);
  return std::get<std::string>(*v);
}

TEST(StatementYield, PumpsOnTheFirstStatementThenOnceEveryEleven) {
  Program p;
  p.run([&](rt::Runtime& r) {
    for (int i = 1; i <= 34; ++i) ASSERT_EQ((r.STMT(), p.host().pumps()), 1 + (i - 1) / 11) << i;
  });
  // Closing the window ends the program at the next pumping statement, quietly, with 0.
  Program q(scripted("wait 50\nclose\n"));
  long done = 0;
  int code = q.run([&](rt::Runtime& r) {
    for (;; ++done) r.STMT(), r.host().millis();
  });
  EXPECT_TRUE(code == 0 && done >= 50 && done <= 50 + 11 && logged(q.registry(), "CODE").empty());
}

TEST(RunTimeError, ASubsErrorIsReportedWithItsModuleAndLineLoggedAndEndsAtAKey) {
  for (int number : {9, 3}) {  // 3 has no message: the header alone
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
      r.RT_ERROR(number, rt::location(rt::Op::Element, 3));
    });
    std::string report;
    for (int i = 0; i < 4; ++i) report += shown(p.rt(), i) + "|";
    const std::string head = "|zideD.bas [1234行]:エラー[" + std::to_string(number) + "]|";
    const std::string message = number == 9 ? rt::error_message(9) + "|" : "";
    EXPECT_EQ(report, head + message + "任意のキーを押してください|" + (number == 9 ? "" : "|"));
    EXPECT_TRUE(p.host().now() >= 500 && p.host().now() < 600) << "ended at the key";
    EXPECT_EQ(std::tuple(code, p.rt().last_error().number, int{p.rt().last_error().line}),
              std::tuple(1, number, 1234));
    platform::Registry log(p.registry().path());  // saved, not only held
    std::string values;
    for (const char* name : {"MODL", "LINE", "CODE", "FUNC", "INFO", "TIME"})
      values += logged(log, name) + "|";
    EXPECT_EQ(values, "zideD.bas|1234|" + std::to_string(number) + "|" +
                          std::to_string(int(rt::Op::Element)) + "|3|2017/03/05 09:07:58|");
  }
}

TEST(RunTimeError, ACrashNamesTheModuleAndLineBeforeTheProcessEnds) {
  auto crash = [] {
    Program p;
    p.run([](rt::Runtime& r) { r.SET_MODULE("zideD.bas"), r.SET_LINE(1204), std::raise(SIGSEGV); });
  };
  EXPECT_DEATH(crash(), "続行不可能なエラーが発生しました zideD\\.bas \\[1204行\\]");
}

TEST(RunTimeError, ErrorZeroEndAndSystemErrors) {
  Program p;
  EXPECT_EQ(p.run([](rt::Runtime& r) { r.RT_ERROR(0, 0), r.END(3); }), 3) << "0 is no error";
  EXPECT_EQ(std::pair(p.rt().last_error().number, int{p.rt().last_error().line}), std::pair(0, 0));
  for (auto [system, number] : {std::pair(ENOMEM, 7), {EINVAL, 5}, {ERANGE, 5}, {123456, 27}}) {
    Program q;
    q.run([s = system](rt::Runtime& r) { r.API_ERROR(s, rt::location(rt::Op::System)); });
    EXPECT_EQ(q.rt().last_error().number, number) << system;
    EXPECT_EQ(logged(q.registry(), "APIERR"), std::to_string(system));
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
    EXPECT_EQ(std::pair(recurse(r, 5), r.sub_depth()), std::pair(5, 0));
    const rt::UnitContext& c = r.context();
    EXPECT_EQ(std::tuple(c.module, int{c.line}, c.data.record, c.data.offset),
              std::tuple("main.bas", 50, 3u, 7u));
    r.GOSUB([&] { r.SET_LINE(300); });
    EXPECT_EQ(r.context().line, 50) << "RETURN restores the GOSUB's line";
    r.RT_ERROR(5, 0);
  });
  EXPECT_EQ(p.rt().last_error().line, 50) << "reported where it happened, not in a SUB before";
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
  EXPECT_EQ(q.host().boxes(), std::vector<std::string>{"peakwend.EXE: フォームデータがありません"});
  // The smallest form with `from` replaced by `to`.
  auto with = [](const std::string& from, const std::string& to) {
    std::string text =
        "form = F\ncaption = C\nposition = 0 0\nfont = X\nsize = 9 28\ncharset = 0\n";
    return rt::parse_form(text.replace(text.find(from), from.size(), to), nullptr);
  };
  auto good = with("size = 9 28\ncharset = 0",
                   "# outer\n  size = 648 531 \t\r\ncharset = 255\nevent = A\nevent = B");
  ASSERT_TRUE(good);
  EXPECT_EQ(std::tuple(good->client_width(), good->client_height(), good->charset, good->events),
            std::tuple(640, 504, 255, std::vector<std::string>{"A", "B"}));
  EXPECT_TRUE(with("", "") && with("9 28", "16384 16384"));
  // clang-format off
  const std::pair<const char*, const char*> bad[] = {{"9 28", "8 28"}, {"9 28", "9 27"},
      {"9 28", "16385 28"}, {"9 28", "9"}, {"= 0\n", "= 256\n"}, {"= 0\n", "= 1x\n"},
      {"charset =", "charset"}, {"font", "colour"}, {"X", ""}, {"form", "#"}, {"size", "#"}};
  // clang-format on
  for (auto [from, to] : bad) EXPECT_FALSE(with(from, to)) << from << " => " << to;
  std::string why;
  EXPECT_FALSE(rt::parse_form("form = A\ncaption = B\nposition = 0\n", &why));
  EXPECT_NE(why.find("line 3"), std::string::npos) << why;
}

}  // namespace
