// RT_ERROR: a numbered error is reported and ends the program; error 0 is
// no error and the program goes on.
#include <gtest/gtest.h>

#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

TEST(RtError, ErrorZeroIsIgnoredOthersAreReportedAndLogged) {
  const struct {
    int number;
    int exit_code;
    bool goes_on;
  } cases[] = {{0, 0, true}, {5, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    testing_support::Program p;
    bool went_on = false;
    int code = p.run([&](rt::Runtime& r) {
      r.SET_MODULE("zideD.bas");
      r.SET_LINE(7);
      r.RT_ERROR(c.number, rt::location(rt::Op::Frame, 1));
      went_on = true;
    });
    EXPECT_EQ(code, c.exit_code);
    EXPECT_EQ(went_on, c.goes_on);
    EXPECT_EQ(p.rt().last_error().number, c.number);
    EXPECT_EQ(p.registry().get(rt::Frame::kErrorKey, "CODE").has_value(), !c.goes_on)
        << "the error log";
  }
}

}  // namespace
