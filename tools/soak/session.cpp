#include "tools/soak/session.h"

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "game/zided.h"
#include "platform/headless_host.h"
#include "platform/registry.h"
#include "runtime/runtime.h"

namespace soak {

namespace {

constexpr int kStalledExit = 3;  // the exit code a stalled program is given
constexpr std::uint64_t kSettledGame = 10;

// A field of /proc/self/status in kB, or 0.
long status_kb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  std::size_t n = std::char_traits<char>::length(field);
  while (std::getline(in, line)) {
    if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':') {
      return std::atol(line.c_str() + n + 1);
    }
  }
  return 0;
}

platform::LocalTime random_clock(Random& r) {
  platform::LocalTime t;
  t.year = r.between(1998, 2030);
  t.month = r.between(1, 12);
  t.day = r.between(1, 28);
  t.hour = r.between(0, 23);
  t.minute = r.between(0, 59);
  t.second = r.between(0, 59);
  return t;
}

}  // namespace

long resident_kb() {
  return status_kb("VmRSS");
}

long anonymous_kb() {
  return status_kb("RssAnon");
}

long heap_in_use() {
  struct mallinfo2 m = ::mallinfo2();
  return static_cast<long>(m.uordblks + m.hblkhd);
}

long peak_resident_kb() {
  return status_kb("VmHWM");
}

// The player's side of one program run: it watches the program at every
// input poll, counts games, tries and wins, and hands out the commands.
class Session::Driver {
 public:
  explicit Driver(Session& session) : s_(session) {
    // The script is written as the run goes, so that it outlives a crash.
    const std::string& path = s_.options_.script_out;
    if (path.empty()) return;
    script_.reset(std::fopen(path.c_str(), "wb"));
    if (!script_) {
      std::fprintf(stderr, "soak: cannot write %s\n", path.c_str());
      return;
    }
    std::fprintf(script_.get(), "# Soak seed %llu, run %llu\n# args %s\n",
                 static_cast<unsigned long long>(s_.options_.seed),
                 static_cast<unsigned long long>(s_.progress_->run), s_.clock_args().c_str());
    std::fflush(script_.get());
  }

  void attach(rt::Runtime& runtime, game::Zided& game) {
    runtime_ = &runtime;
    game_ = &game;
  }

  // The program asked for input and found nothing new.
  void on_idle() {
    if (close_) return;
    if (runtime_->last_error().number != 0) {
      close_ = true;  // a report waits for a key: the failure is known already
      return;
    }
    observe();
    if (!pending_.empty()) return;
    const Options& o = s_.options_;
    if (s_.stats_.events >= o.events || (o.games && s_.stats_.games >= o.games) ||
        platform::quit_requested_by_signal()) {
      spent_ = true;
      close_ = true;
      return;
    }
    Situation situation;
    situation.wait = wait_of(runtime_->context().cpp_file ? runtime_->context().cpp_file : "");
    situation.menu_choice = rt::CINT(game_->MENU_CHOICE);
    situation.stay = o.stay;
    platform::ScriptCommand cmd = choose_command(s_.random_, situation);
    for (auto& g : platform::input_primitives(cmd)) pending_.push_back(std::move(g));
    if (script_) {
      std::fprintf(script_.get(), "%s\n", script_line(cmd).c_str());
      std::fflush(script_.get());
    }
    ++s_.stats_.events;
    ++s_.progress_->events;
    ++s_.progress_->run_events;
  }

  // The next group of events to hand out, if any.
  bool next_group(std::vector<platform::Event>* out) {
    if (pending_.empty()) return false;
    *out = std::move(pending_.front());
    pending_.pop_front();
    return true;
  }

  bool close_wanted() const { return close_; }
  // The run was closed because the soak had done what it was asked.
  bool spent() const { return spent_; }

  std::uint64_t games = 0;  // games begun in this run
  MemorySample first, settled, last;
  long peak_sample_kb = 0;

 private:
  // Games start when PLAY_COUNT goes up (it is taken back when a game is lost
  // or abandoned, and cleared by "Delete Best 20"); a try when TRY_NO goes up;
  // a game is won when the last contact was the goal edge.
  void observe() {
    game::Zided& z = *game_;
    int play = rt::CINT(z.PLAY_COUNT);
    if (play > last_play_) {
      s_.stats_.games += static_cast<std::uint64_t>(play - last_play_);
      games += static_cast<std::uint64_t>(play - last_play_);
      won_this_game_ = false;
      sample_memory();
    }
    last_play_ = play;
    int try_no = rt::CINT(z.TRY_NO);
    if (try_no > last_try_) s_.stats_.tries += static_cast<std::uint64_t>(try_no - last_try_);
    last_try_ = try_no;
    if (try_no > 0 && z.HIT == 1 && z.HIT_K == 4 && !won_this_game_) {
      won_this_game_ = true;
      ++s_.stats_.won;
    }
  }

  void sample_memory() {
    MemorySample m{games, resident_kb(), anonymous_kb(), heap_in_use()};
    if (games == 1) first = m;
    if (games == kSettledGame) settled = m;
    last = m;
    peak_sample_kb = std::max(peak_sample_kb, m.rss_kb);
    if (!s_.options_.rss_log.empty()) {
      std::FILE* f = std::fopen(s_.options_.rss_log.c_str(), "a");
      if (f) {
        std::fprintf(
            f, "%llu,%llu,%llu,%ld,%ld,%ld\n", static_cast<unsigned long long>(s_.progress_->run),
            static_cast<unsigned long long>(m.game),
            static_cast<unsigned long long>(s_.stats_.events), m.rss_kb, m.anon_kb, m.heap_bytes);
        std::fclose(f);
      }
    }
  }

  Session& s_;
  rt::Runtime* runtime_ = nullptr;
  game::Zided* game_ = nullptr;
  std::deque<std::vector<platform::Event>> pending_;
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> script_;
  bool close_ = false;
  bool spent_ = false;
  int last_play_ = 0;
  int last_try_ = 0;
  bool won_this_game_ = false;
};

namespace {

// The headless host of the peakwend executable, with the player in place of
// a script: a group of events goes out at a pump only once the program has
// polled for input in vain since the last group, as a script's would.
class SoakHost : public platform::HeadlessHost {
 public:
  SoakHost(platform::HostOptions options, Session::Driver& driver, std::uint64_t stall_pumps)
      : HeadlessHost(std::move(options)), driver_(driver), stall_pumps_(stall_pumps) {}

  bool pump(platform::EventSink& sink) override {
    if (++pumps_since_idle_ > stall_pumps_) {
      stalled_ = true;
      return false;
    }
    if (driver_.close_wanted()) {
      platform::Event close;
      close.type = platform::Event::Type::Close;
      push_event(close);
    } else if (idle_since_input_) {
      std::vector<platform::Event> group;
      if (driver_.next_group(&group)) {
        for (const platform::Event& e : group) push_event(e);
        idle_since_input_ = false;
      }
    }
    return HeadlessHost::pump(sink);
  }

  void input_idle() override {
    advance(1);  // waiting for input lets time pass, as on the plain host
    pumps_since_idle_ = 0;
    idle_since_input_ = true;
    driver_.on_idle();
  }

  int quit_code() const override { return stalled_ ? kStalledExit : HeadlessHost::quit_code(); }
  bool stalled() const { return stalled_; }

 private:
  Session::Driver& driver_;
  std::uint64_t stall_pumps_;
  std::uint64_t pumps_since_idle_ = 0;
  bool idle_since_input_ = false;
  bool stalled_ = false;
};

}  // namespace

Session::Session(Options options, Progress* progress)
    : options_(std::move(options)),
      progress_(progress ? progress : &own_progress_),
      random_(options_.seed) {}

Session::~Session() = default;

std::string Session::clock_args() const {
  const platform::LocalTime& t = progress_->start;
  char s[64];
  std::snprintf(s, sizeof s, "--time %02d:%02d:%02d --date %04d-%02d-%02d", t.hour, t.minute,
                t.second, t.year, t.month, t.day);
  return s;
}

int Session::run_program(Driver& driver) {
  platform::HostOptions host_options;
  host_options.start_time = progress_->start;
  SoakHost host(std::move(host_options), driver, options_.stall_pumps);
  // The registry is saved by renaming a new file over the old one: it needs
  // a folder of its own (never a device such as /dev/null).
  if (options_.work_dir.empty()) throw std::invalid_argument("soak: no work folder for the registry");
  platform::Registry registry(options_.work_dir + "/registry");
  rt::Runtime runtime(host, registry);
  game::Zided game(runtime);
  driver.attach(runtime, game);
  int code = options_.program ? options_.program(runtime, game) : game.run();
  stats_.statements += runtime.statements();
  stats_.last_run_statements = runtime.statements();

  std::ostringstream why;
  if (host.stalled()) {
    why << "the program stopped polling for input (" << options_.stall_pumps
        << " pumps without a poll)";
  } else if (runtime.last_error().number != 0) {
    const auto& e = runtime.last_error();
    why << "run-time error " << e.number << " in " << e.module << " line " << e.line;
  } else if (code != 0) {
    why << "the program ended with exit code " << code;
  } else if (!host.boxes().empty()) {
    why << "message box: " << host.boxes().front();
  }
  failure_ = why.str();
  return code;
}

bool Session::run() {
  auto t0 = std::chrono::steady_clock::now();
  bool ok = true;
  for (;;) {
    ++stats_.runs;
    ++progress_->run;
    progress_->run_events = 0;
    progress_->start = random_clock(random_);
    Driver driver(*this);
    run_program(driver);
    if (driver.games > stats_.session_games || stats_.runs == 1) {
      stats_.session_games = driver.games;
      stats_.session_first = driver.first;
      stats_.session_settled = driver.settled;
      stats_.session_last = driver.last;
      stats_.session_peak_rss_kb = driver.peak_sample_kb;
    }
    if (!failure_.empty()) {
      ok = false;
      break;
    }
    if (platform::quit_requested_by_signal()) {
      interrupted_ = true;
      break;
    }
    if (driver.spent() || stats_.events >= options_.events) break;
    // "End" was chosen: start the program again.
  }
  stats_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  stats_.peak_rss_kb = peak_resident_kb();
  return ok;
}

}  // namespace soak
