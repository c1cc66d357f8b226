// peakwend_soak: plays the program with random input for a number of events
// and reports what it survived. The soak runs in a child process so that a
// crash, too, is reported with the seed and event that reproduce it.
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>

#include "tools/soak/session.h"

namespace {

const char* const kUsage =
    "usage: peakwend_soak [--seed N] [--events N] [--games N] [--stay]\n"
    "                     [--rss-log FILE] [--script-out FILE] [--no-fork]\n"
    "  --seed N          the random player's seed (default 1)\n"
    "  --events N        commands to hand out in all (default 20000)\n"
    "  --games N         stop once N games have started\n"
    "  --stay            never choose End: one program run throughout\n"
    "  --rss-log FILE    append run,game,events,rss_kb,anon_kb,heap_bytes at every game start\n"
    "  --script-out FILE write each run as a script for peakwend --headless (the last stays)\n"
    "  --no-fork         soak in this process (for a debugger)\n";

bool parse_count(std::string_view s, std::uint64_t* out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size();
}

double mb(long kb) {
  return static_cast<double>(kb) / 1024.0;
}

void print_stats(const soak::Session& s, const soak::Options& o) {
  const soak::Stats& t = s.stats();
  std::printf(
      "soak: seed %llu: %llu events, %llu program runs, %llu games started, %llu won, "
      "%llu tries\n",
      static_cast<unsigned long long>(o.seed), static_cast<unsigned long long>(t.events),
      static_cast<unsigned long long>(t.runs), static_cast<unsigned long long>(t.games),
      static_cast<unsigned long long>(t.won), static_cast<unsigned long long>(t.tries));
  std::printf(
      "soak: %.1f s, %llu statements (%.1f million a second), peak resident memory "
      "%.1f MB\n",
      t.seconds, static_cast<unsigned long long>(t.statements),
      t.seconds > 0 ? static_cast<double>(t.statements) / t.seconds / 1e6 : 0.0, mb(t.peak_rss_kb));
  if (t.session_games >= 2) {
    const soak::MemorySample& base = t.session_settled.game ? t.session_settled : t.session_first;
    const soak::MemorySample& last = t.session_last;
    std::printf(
        "soak: longest session %llu games: from game %llu to %llu resident %.1f -> %.1f MB "
        "(%+ld kB, at most %.1f MB), anonymous %+ld kB, heap in use %+ld bytes\n",
        static_cast<unsigned long long>(t.session_games),
        static_cast<unsigned long long>(base.game), static_cast<unsigned long long>(last.game),
        mb(base.rss_kb), mb(last.rss_kb), last.rss_kb - base.rss_kb, mb(t.session_peak_rss_kb),
        last.anon_kb - base.anon_kb, last.heap_bytes - base.heap_bytes);
  }
  std::fflush(stdout);
}

// Runs the soak; the exit code: 0 survived, 1 failed, 130 interrupted.
int soak_here(const soak::Options& o, soak::Progress* progress) {
  soak::Session session(o, progress);
  bool ok = session.run();
  print_stats(session, o);
  if (!ok) {
    progress->reported = true;
    std::fprintf(
        stderr,
        "soak: FAILED at event %llu (run %llu, its event %llu), seed %llu: %s\n"
        "soak: reproduce: peakwend_soak --seed %llu --events %llu --script-out fail.script\n"
        "soak:   then:    peakwend --headless %s --script fail.script\n",
        static_cast<unsigned long long>(progress->events),
        static_cast<unsigned long long>(progress->run),
        static_cast<unsigned long long>(progress->run_events),
        static_cast<unsigned long long>(o.seed), session.failure().c_str(),
        static_cast<unsigned long long>(o.seed), static_cast<unsigned long long>(progress->events),
        session.clock_args().c_str());
    return 1;
  }
  return session.interrupted() ? 130 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  soak::Options o;
  bool fork_child = true;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&]() -> std::string_view { return i + 1 < argc ? argv[++i] : ""; };
    bool good = true;
    if (a == "--seed") {
      good = parse_count(value(), &o.seed);
    } else if (a == "--events") {
      good = parse_count(value(), &o.events);
    } else if (a == "--games") {
      good = parse_count(value(), &o.games);
    } else if (a == "--stay") {
      o.stay = true;
    } else if (a == "--rss-log") {
      o.rss_log = value();
      good = !o.rss_log.empty();
    } else if (a == "--script-out") {
      o.script_out = value();
      good = !o.script_out.empty();
    } else if (a == "--no-fork") {
      fork_child = false;
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      good = false;
    }
    if (!good) {
      std::fprintf(stderr, "peakwend_soak: bad argument '%s'\n%s", argv[i], kUsage);
      return 2;
    }
  }

  char dir_template[] = "/tmp/peakwend-soak-XXXXXX";
  const char* dir = ::mkdtemp(dir_template);
  if (!dir) {
    std::perror("peakwend_soak: mkdtemp");
    return 2;
  }
  o.work_dir = dir;
  struct Cleanup {
    std::string dir;
    ~Cleanup() {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    }
  } cleanup{dir};

  // The progress lives in shared memory so that it outlives a crashed child.
  void* shared = ::mmap(nullptr, sizeof(soak::Progress), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) {
    std::perror("peakwend_soak: mmap");
    return 2;
  }
  auto* progress = new (shared) soak::Progress();
  if (!fork_child) return soak_here(o, progress);

  std::fflush(stdout);
  pid_t child = ::fork();
  if (child < 0) {
    std::perror("peakwend_soak: fork");
    return 2;
  }
  if (child == 0) {
    int code = soak_here(o, progress);
    std::fflush(nullptr);
    ::_exit(code);
  }
  // Ctrl+C reaches the child too; it stops at its next run's end and reports.
  std::signal(SIGINT, SIG_IGN);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      std::perror("peakwend_soak: waitpid");
      return 2;
    }
  }
  if (WIFEXITED(status) && (WEXITSTATUS(status) == 0 || progress->reported)) {
    return WEXITSTATUS(status);
  }
  std::string what = WIFSIGNALED(status)
                         ? std::string("crashed with signal ") + std::to_string(WTERMSIG(status)) +
                               " (" + strsignal(WTERMSIG(status)) + ")"
                         : "ended with exit code " + std::to_string(WEXITSTATUS(status));
  const platform::LocalTime& t = progress->start;
  std::fprintf(
      stderr,
      "soak: FAILED: the soak %s at event %llu (run %llu, its event %llu), seed %llu\n"
      "soak: reproduce: peakwend_soak --seed %llu --events %llu --script-out crash.script\n"
      "soak:   the run's clock: --time %02d:%02d:%02d --date %04d-%02d-%02d\n",
      what.c_str(), static_cast<unsigned long long>(progress->events),
      static_cast<unsigned long long>(progress->run),
      static_cast<unsigned long long>(progress->run_events),
      static_cast<unsigned long long>(o.seed), static_cast<unsigned long long>(o.seed),
      static_cast<unsigned long long>(progress->events), t.hour, t.minute, t.second, t.year,
      t.month, t.day);
  return 1;
}
