// The soak's random player: its numbers, what it may and may not send, and
// that its commands replay through a script exactly as it hands them out.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "platform/sjis.h"
#include "tools/soak/player.h"

namespace soak {
namespace {

using platform::Event;
using platform::Key;
using Op = platform::ScriptCommand::Op;

std::string describe(const Event& e) {
  std::ostringstream s;
  s << static_cast<int>(e.type) << " key " << static_cast<int>(e.key) << " ch "
    << static_cast<unsigned>(e.ch) << (e.shift ? " shift" : "") << (e.ctrl ? " ctrl" : "")
    << (e.alt ? " alt" : "") << " text '" << e.text << "' at " << e.x << "," << e.y << " button "
    << static_cast<int>(e.button);
  return s.str();
}

std::vector<std::string> describe(const std::vector<std::vector<Event>>& groups) {
  std::vector<std::string> out;
  for (const auto& g : groups) {
    std::string line;
    for (const Event& e : g) line += describe(e) + "; ";
    out.push_back(line);
  }
  return out;
}

const Situation kSituations[] = {
    {Wait::Keys, 1, false}, {Wait::Keys, 9, false},  {Wait::Mouse, 1, false},
    {Wait::Line, 6, false}, {Wait::Other, 1, false}, {Wait::Keys, 9, true},
    {Wait::Mouse, 1, true}, {Wait::Line, 6, true},
};

TEST(SoakRandom, SeedsRepeatRangesAreKeptAndWeightsHonoured) {
  Random a(42), b(42), c(43);
  int same = 0;
  for (int i = 0; i < 1000; ++i) {
    std::uint64_t x = a.next();
    ASSERT_EQ(x, b.next());
    same += x == c.next();
  }
  EXPECT_EQ(same, 0);

  Random r(7);
  std::map<int, int> seen;
  for (int i = 0; i < 20000; ++i) ++seen[r.between(-3, 6)];
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(std::pair(seen.begin()->first, seen.rbegin()->first), std::pair(-3, 6));
  for (const auto& [v, n] : seen) EXPECT_GT(n, 1500) << v;  // about 2000 each
  const int weights[] = {0, 3, 0, 1};
  int picks[4] = {};
  for (int i = 0; i < 4000; ++i) ++picks[r.pick(weights)];
  EXPECT_TRUE(picks[0] == 0 && picks[2] == 0 && picks[1] > 2 * picks[3] && picks[3] > 0);
}

TEST(SoakPlayer, TellsTheWaitFromTheSourceOfThePollingStatement) {
  EXPECT_EQ(wait_of("/src/peakwend/game/flow/menus.cpp"), Wait::Keys);
  EXPECT_EQ(wait_of("game/walker/mouse.cpp"), Wait::Mouse);
  EXPECT_EQ(wait_of("/x/game/flow/main_program.cpp"), Wait::Line);
  EXPECT_EQ(wait_of("/x/game/flow/game_loop.cpp"), Wait::Other);
  EXPECT_EQ(wait_of(""), Wait::Other);
  EXPECT_EQ(wait_of("menus.cpp"), Wait::Other) << "not the game's";
}

TEST(SoakPlayer, NeverBreaksAndNeverEndsWhenStaying) {
  Random r(3);
  for (const Situation& s : kSituations) {
    for (int i = 0; i < 20000; ++i) {
      platform::ScriptCommand c = choose_command(r, s);
      ASSERT_FALSE(c.ctrl && c.ch == U'c') << "Ctrl+C is the user break";
      if (s.stay) {
        ASSERT_FALSE(c.ctrl && c.ch == U'm') << "Ctrl+M is Enter";
        if (s.wait == Wait::Keys && s.menu_choice == 9) {
          ASSERT_FALSE(c.op == Op::Key && c.key == Key::Enter) << "Enter would choose End";
        }
      }
    }
  }
}

// Everything the soak is meant to try comes up within a few thousand events.
TEST(SoakPlayer, ReachesEveryKindOfInput) {
  Random r(11);
  std::set<std::string> seen;
  bool outside = false, japanese = false, foreign = false, long_text = false;
  for (const Situation& s : kSituations) {
    for (int i = 0; i < 5000; ++i) {
      platform::ScriptCommand c = choose_command(r, s);
      std::string line = script_line(c), kind = line.substr(0, line.find(' '));
      ASSERT_NE(line, "idle") << "only keys, text and the mouse";
      if (c.op == Op::Key) {
        kind = c.ctrl                                 ? "Ctrl"
               : c.key != Key::Char                   ? platform::key_name(c.key)
               : c.ch >= 0x80                         ? "wide char"
               : std::isdigit(static_cast<int>(c.ch)) ? "digit"
                                                      : "ascii";
      } else if (c.op == Op::Press || c.op == Op::Release) {
        kind = line;
      } else if (c.op == Op::Click) {
        kind += c.button == platform::MouseButton::Right ? " right" : "";
        outside |= c.a < 0 || c.a >= 640 || c.b < 0 || c.b >= 504;
      } else if (c.op == Op::Type) {
        std::string sjis = platform::utf8_to_sjis(c.arg);
        japanese |= sjis.size() > platform::utf8_to_utf32(c.arg).size();
        foreign |= sjis.find('?') != std::string::npos && c.arg.find('?') == std::string::npos;
        long_text |= sjis.size() > 255;
      }
      seen.insert(kind);
    }
  }
  for (const char* k :
       {"Enter",        "Up",       "Down",      "Left",       "Right",       "Esc",
        "Space",        "Tab",      "Backspace", "Delete",     "Home",        "End",
        "PageUp",       "PageDown", "Insert",    "F1",         "F6",          "F12",
        "ascii",        "digit",    "wide char", "Ctrl",       "type",        "click",
        "click right",  "move",     "drag",      "press left", "press right", "release left",
        "release right"}) {
    EXPECT_TRUE(seen.count(k)) << k;
  }
  EXPECT_TRUE(outside) << "a click outside the window";
  EXPECT_TRUE(japanese) << "Japanese text";
  EXPECT_TRUE(foreign) << "text that Shift-JIS lacks";
  EXPECT_TRUE(long_text) << "text that overflows the key buffer";
}

// The soak's commands written as a script and played by the script runner
// give the program the very same events, group by group.
TEST(SoakPlayer, CommandsReplayThroughAScriptExactly) {
  Random r(99);
  std::string script;
  std::vector<std::vector<Event>> expected;
  for (const Situation& s : kSituations) {
    for (int i = 0; i < 400; ++i) {
      platform::ScriptCommand c = choose_command(r, s);
      script += script_line(c) + "\n";
      for (auto& g : platform::input_primitives(c)) expected.push_back(std::move(g));
    }
  }
  std::string error;
  auto commands = platform::parse_script(script, &error);
  ASSERT_TRUE(commands.has_value()) << error;
  platform::ScriptRunner runner(std::move(*commands));
  platform::Surface picture(1, 1);
  std::vector<std::vector<Event>> played;
  for (std::uint32_t now = 0; !runner.finished() && now < 100000; ++now) {
    runner.note_idle();
    std::vector<Event> out;
    runner.step(now, picture, out);
    if (!out.empty()) played.push_back(std::move(out));
  }
  ASSERT_TRUE(runner.finished());
  EXPECT_EQ(describe(played), describe(expected));
}

}  // namespace
}  // namespace soak
