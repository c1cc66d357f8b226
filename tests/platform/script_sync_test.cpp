// Snapshots in a script (shot, text, layout, expect) never run ahead of the
// program: after input they wait until the program has taken it and looked
// for more, or until a wait has let the program run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/script.h"

namespace platform {
namespace {

class CountingHooks : public ScriptHooks {
 public:
  bool save_text(const std::string&, std::string*) override { return count(); }
  bool save_layout(const std::string&, std::string*) override { return count(); }
  bool expect_text(int, int, const std::string&, std::string*) override { return count(); }
  bool count() {
    ++calls;
    return true;
  }
  int calls = 0;
};

TEST(ScriptSync, SnapshotsAfterInputWaitForTheProgram) {
  // Moves: 'i' the program is idle, 's' a step 5 ms after the last; after
  // each step, the snapshots run so far.
  const struct {
    const char* script;
    const char* moves;
    const char* runs;
  } cases[] = {
      {"type AB\nexpect 18 34 AB\n", "issis", "001"},
      {"key Enter\nlayout l.txt\n", "issis", "001"},
      {"type AB\nwait 5\ntext t.txt\n", "iss", "01"},
      {"type AB\nwait 0\ntext t.txt\n", "issis", "001"},  // a wait that let nothing run
      {"text t.txt\ntype AB\n", "sis", "11"},             // no input yet: at once
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    std::string why;
    auto commands = parse_script(c.script, &why);
    ASSERT_TRUE(commands) << why;
    ScriptRunner runner(*commands);
    CountingHooks hooks;
    runner.set_hooks(&hooks);
    Surface picture(4, 4);
    std::vector<Event> out;
    std::uint32_t now = 0;
    std::string runs;
    for (const char* m = c.moves; *m; ++m) {
      if (*m == 'i') {
        runner.note_idle();
      } else {
        runner.step(now += 5, picture, out);
        runs += std::to_string(hooks.calls);
      }
    }
    EXPECT_EQ(runs, c.runs);
    EXPECT_FALSE(out.empty()) << "the input went out";
    EXPECT_FALSE(runner.failure_code());
  }
}

}  // namespace
}  // namespace platform
