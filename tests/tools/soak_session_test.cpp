// The soak's sessions: what they count, what they call a failure, and that a
// run replays through a script to the very same statement.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "game/zided.h"
#include "tests/support/game_program.h"
#include "tests/support/program.h"
#include "tools/soak/session.h"

namespace soak {
namespace {

// Runs `body` as the main program of a run, in place of the game.
int run_body(rt::Runtime& r, const std::function<void()>& body) {
  return r.run(testing_support::test_form(), rt::CompileOptions{}, body);
}

// Polls the keys long enough for the player to look at the program a few times.
void poll(rt::Runtime& r) {
  for (int i = 0; i < 60; ++i) {
    r.STMT();
    r.INKEY(0);
  }
}

TEST(SoakSession, CountsGamesTriesAndWinsFromTheGamesOwnVariables) {
  Options o;
  o.events = 300;
  o.program = [](rt::Runtime& r, game::Zided& z) {
    return run_body(r, [&] {
      poll(r);
      z.PLAY_COUNT = 1;  // game 1
      z.TRY_NO = 0;
      poll(r);
      z.TRY_NO = 1;
      poll(r);
      z.TRY_NO = 2;  // reaches the goal in its second try
      z.HIT = 1;
      z.HIT_K = 4;
      poll(r);
      poll(r);           // its ending screens: still one win
      z.PLAY_COUNT = 2;  // game 2, with the last game's goal contact still set
      z.TRY_NO = 0;
      poll(r);
      z.TRY_NO = 1;
      z.HIT = 2;
      poll(r);
      z.PLAY_COUNT = 1;  // lost, and taken back
      poll(r);
      z.PLAY_COUNT = 2;  // game 3
      z.TRY_NO = 0;
      poll(r);
      z.PLAY_COUNT = 0;  // abandoned after "Delete Best 20" emptied the list
      poll(r);
      z.PLAY_COUNT = 1;  // game 4
      for (;;) poll(r);
    });
  };
  Session s(o, nullptr);
  ASSERT_TRUE(s.run()) << s.failure();
  EXPECT_EQ(s.stats().games, 4u);
  EXPECT_EQ(s.stats().tries, 3u);
  EXPECT_EQ(s.stats().won, 1u);
  EXPECT_EQ(s.stats().runs, 1u);
  EXPECT_EQ(s.stats().events, 300u);
  EXPECT_EQ(s.stats().session_games, 4u);
  EXPECT_GT(s.stats().session_last.rss_kb, 0);
}

TEST(SoakSession, ARunTimeErrorStopsTheSoakWithoutWaitingForAKey) {
  Options o;
  o.events = 100000;
  Session* session = nullptr;
  std::uint64_t at_error = 0;
  o.program = [&](rt::Runtime& r, game::Zided&) {
    return run_body(r, [&] {
      int keys = 0;
      for (;;) {
        r.STMT();
        if (!r.INKEY(0).empty() && ++keys == 20) {
          at_error = session->stats().events;
          r.ASC("");  // error 5
        }
      }
    });
  };
  Progress progress;
  Session s(o, &progress);
  session = &s;
  EXPECT_FALSE(s.run());
  EXPECT_NE(s.failure().find("run-time error 5"), std::string::npos) << s.failure();
  EXPECT_GT(at_error, 0u);
  EXPECT_EQ(s.stats().events, at_error) << "nothing was handed out during the report";
  EXPECT_EQ(progress.events, at_error);
  EXPECT_EQ(progress.run, 1u);
  EXPECT_EQ(s.stats().runs, 1u);
}

TEST(SoakSession, StallsOtherExitCodesAndMessageBoxesAreFailures) {
  struct Case {
    const char* what;
    std::function<void(rt::Runtime&)> body;
    const char* failure;
  };
  const Case cases[] = {
      {"stall",
       [](rt::Runtime& r) {
         poll(r);
         for (;;) r.STMT();
       },
       "stopped polling"},
      {"exit code", [](rt::Runtime& r) { poll(r), r.END(2); }, "exit code 2"},
      {"message box",
       [](rt::Runtime& r) {
         poll(r);
         r.host().message_box("peakwend", "trouble", platform::BoxIcon::Error);
         r.END(0);
       },
       "message box: peakwend: trouble"},
  };
  for (const Case& c : cases) {
    Options o;
    o.events = 1000;
    o.stall_pumps = 5000;
    o.program = [&](rt::Runtime& r, game::Zided&) { return run_body(r, [&] { c.body(r); }); };
    Session s(o, nullptr);
    EXPECT_FALSE(s.run()) << c.what;
    EXPECT_NE(s.failure().find(c.failure), std::string::npos) << c.what << ": " << s.failure();
    EXPECT_LT(s.stats().events, 1000u) << c.what;
  }
}

TEST(SoakSession, AProgramThatEndsIsStartedAgainAndTheEventsGoOn) {
  Options o;
  o.events = 150;
  o.program = [](rt::Runtime& r, game::Zided&) {
    return run_body(r, [&] {
      poll(r);
      poll(r);
      r.END(0);
    });
  };
  Progress progress;
  Session s(o, &progress);
  ASSERT_TRUE(s.run()) << s.failure();
  EXPECT_EQ(s.stats().events, 150u);
  EXPECT_GT(s.stats().runs, 3u);
  EXPECT_EQ(progress.run, s.stats().runs);
  EXPECT_LT(progress.run_events, 150u) << "counted afresh in each run";
}

// The real game, briefly: it survives, games get played, and the same seed
// plays the same way, to the statement.
TEST(SoakSession, TheGameSurvivesAShortSoakTheSameWayTwice) {
  Options o;
  o.seed = 2;
  o.events = 400;
  Session a(o, nullptr), b(o, nullptr);
  ASSERT_TRUE(a.run()) << a.failure();
  ASSERT_TRUE(b.run()) << b.failure();
  EXPECT_EQ(a.stats().events, 400u);
  EXPECT_GE(a.stats().games, 1u);
  EXPECT_GE(a.stats().tries, 1u);
  EXPECT_EQ(a.stats().statements, b.stats().statements);
  EXPECT_EQ(a.stats().games, b.stats().games);
  EXPECT_EQ(a.stats().tries, b.stats().tries);
  EXPECT_EQ(a.stats().runs, b.stats().runs);
}

TEST(SoakSession, ARunWrittenAsAScriptReplaysToTheSameStatement) {
  Options o;
  o.seed = 4;
  o.events = 300;
  o.script_out = ::testing::TempDir() + "soak_replay.script";
  Progress progress;
  Session s(o, &progress);
  ASSERT_TRUE(s.run()) << s.failure();

  std::ifstream in(o.script_out);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("# args " + s.clock_args()), std::string::npos);
  platform::HostOptions ho = testing_support::script_options(text.str());
  ASSERT_EQ(ho.script->size(), progress.run_events);
  ASSERT_GT(progress.run_events, 0u);
  ho.start_time = progress.start;
  testing_support::GameProgram g(std::move(ho));
  EXPECT_EQ(g.run_main(), 0);
  EXPECT_EQ(g.rt().statements(), s.stats().last_run_statements);
  std::remove(o.script_out.c_str());
}

}  // namespace
}  // namespace soak
