// xprobe: timing helpers for tools/measure_pace.sh, on an X display.
//
//   xprobe first-picture CMD [ARGS...]
//       Starts CMD and prints "map MS" and "picture MS": the milliseconds from
//       the start to the mapping of its first top-level window, and to the
//       first time the middle of that window shows anything but the white
//       root behind it (run the X server with a white root, Xvfb -wr). Then
//       ends CMD with SIGTERM and waits for it.
//   xprobe stamp FILE
//       Reads lines from FILE (a FIFO) and writes "MS,LINE" to stdout, MS the
//       monotonic clock's milliseconds at which the line arrived.
//   xprobe cpu PID
//       Every 50 ms until PID ends, writes "MS,ALL,WINDOW": the monotonic
//       milliseconds and the CPU time in milliseconds of the whole process
//       and of its window thread (named "pw-window"), from the scheduler's
//       nanosecond counts rather than /proc's 10 ms ticks.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Windows may go away while they are looked at (a start-up probe window).
int ignore_errors(Display*, XErrorEvent*) {
  return 0;
}

double monotonic_ms() {
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

double ms_since(Clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// True when the middle of the window shows something other than plain
// white. A small patch: fetching the whole window would take longer than
// the start being measured.
bool painted(Display* d, Window w) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return false;
  const int n = 16;
  if (a.width < n || a.height < n) return false;
  XImage* img = XGetImage(d, w, (a.width - n) / 2, (a.height - n) / 2, n, n, AllPlanes, ZPixmap);
  if (!img) return false;
  bool any = false;
  for (int y = 0; y < n && !any; ++y) {
    for (int x = 0; x < n && !any; ++x) any = (XGetPixel(img, x, y) & 0xFFFFFF) != 0xFFFFFF;
  }
  XDestroyImage(img);
  return any;
}

int first_picture(char** cmd) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "xprobe: no display\n");
    return 1;
  }
  XSetErrorHandler(ignore_errors);
  Window root = DefaultRootWindow(d);
  XSelectInput(d, root, SubstructureNotifyMask);
  XSync(d, False);
  auto t0 = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(cmd[0], cmd);
    std::perror("xprobe: exec");
    _exit(127);
  }
  Window w = 0;
  double map_ms = -1, picture_ms = -1;
  while (ms_since(t0) < 10000 && picture_ms < 0) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify && w == 0 && !e.xmap.override_redirect) {
        char* name = nullptr;
        if (XFetchName(d, e.xmap.window, &name) && name && *name) {
          w = e.xmap.window;
          map_ms = ms_since(t0);
        }
        if (name) XFree(name);
      } else if (e.type == DestroyNotify && e.xdestroywindow.window == w) {
        w = 0;
      }
    }
    if (w != 0 && painted(d, w)) picture_ms = ms_since(t0);
    if (picture_ms < 0) std::this_thread::sleep_for(std::chrono::microseconds(250));
  }
  std::printf("map %.1f\npicture %.1f\n", map_ms, picture_ms);
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  XCloseDisplay(d);
  return picture_ms < 0 ? 1 : 0;
}

int stamp(const char* path) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) {
    std::perror("xprobe: open");
    return 1;
  }
  char line[4096];
  while (std::fgets(line, sizeof line, f)) {
    std::printf("%.3f,%s", monotonic_ms(), line);
    if (!std::strchr(line, '\n')) std::putchar('\n');
  }
  std::fclose(f);
  return 0;
}

// A thread's CPU time in ms from its schedstat file; -1 when it is gone.
double thread_cpu_ms(const std::filesystem::path& task) {
  std::ifstream in(task / "schedstat");
  long long ns = -1;
  return in >> ns ? ns / 1e6 : -1;
}

int cpu(const char* pid) {
  const std::filesystem::path proc = std::filesystem::path("/proc") / pid;
  clockid_t process_clock;
  if (clock_getcpuclockid(static_cast<pid_t>(std::atol(pid)), &process_clock) != 0) return 0;
  for (;;) {
    timespec t{};
    if (clock_gettime(process_clock, &t) != 0) return 0;  // the process has ended
    const double all = t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    double window = 0;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator(proc / "task", ec)) {
      std::ifstream comm(task.path() / "comm");
      std::string name;
      if (std::getline(comm, name) && name == "pw-window") window = std::max(0.0, thread_cpu_ms(task.path()));
    }
    std::printf("%.1f,%.3f,%.3f\n", monotonic_ms(), all, window);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "first-picture") == 0) return first_picture(argv + 2);
  if (argc == 3 && std::strcmp(argv[1], "stamp") == 0) return stamp(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "cpu") == 0) return cpu(argv[2]);
  std::fprintf(stderr, "usage: xprobe first-picture CMD [ARGS...] | xprobe stamp FILE | xprobe cpu PID\n");
  return 2;
}
