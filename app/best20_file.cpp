#include "app/best20_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/xdg.h"

namespace app {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "peakwend-best20";
constexpr int kVersion = 1;
constexpr float kMaxPlayCount = 16777216;  // beyond it a SINGLE no longer counts in ones

std::string number(float v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, end);
}

bool to_float(std::string_view s, float* out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size() && std::isfinite(*out);
}

bool whole(std::string_view s, float lo, float hi, float* out) {
  return to_float(s, out) && *out == std::floor(*out) && *out >= lo && *out <= hi;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    std::size_t end = s.find(sep, at);
    parts.push_back(s.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return parts;
    at = end + 1;
  }
}

bool parse_place(std::string_view line, game::Best20Place* p) {
  std::vector<std::string_view> f = split(line, ' ');
  if (f.size() != 5 || f[4].size() != 2 * p->name.size()) return false;
  if (!to_float(f[0], &p->time) || p->time < 0 || p->time >= 10000) return false;
  if (!whole(f[1], 1, 3, &p->level) || !whole(f[3], 1, 100, &p->objects)) return false;
  if (!to_float(f[2], &p->time_limit) || (p->time_limit != 50 && p->time_limit != 100)) return false;
  for (std::size_t i = 0; i < p->name.size(); ++i) {
    int hi = hex_digit(f[4][2 * i]), lo = hex_digit(f[4][2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    p->name[i] = static_cast<char>(hi * 16 + lo);
  }
  return true;
}

}  // namespace

std::string format_best20(const game::Best20Table& table) {
  static const char kHex[] = "0123456789abcdef";
  std::string s = std::string(kMagic) + " " + std::to_string(kVersion) + "\n";
  s += "played " + number(table.play_count) + "\n";
  for (const game::Best20Place& p : table.places) {
    s += number(p.time) + " " + number(p.level) + " " + number(p.time_limit) + " " +
         number(p.objects) + " ";
    for (char c : p.name) {
      auto b = static_cast<unsigned char>(c);
      s += kHex[b >> 4];
      s += kHex[b & 15];
    }
    s += "\n";
  }
  return s;
}

std::optional<game::Best20Table> parse_best20(std::string_view text, std::string* why) {
  auto fail = [why](const std::string& reason) {
    if (why) *why = reason;
    return std::nullopt;
  };
  if (text.ends_with('\n')) text.remove_suffix(1);
  std::vector<std::string_view> lines = split(text, '\n');
  std::vector<std::string_view> head = split(lines[0], ' ');
  float version = 0;
  if (head.size() != 2 || head[0] != kMagic || !whole(head[1], 1, 1e6f, &version)) {
    return fail("not a Best-20 file");
  }
  if (version != kVersion) return fail("written by a later version (" + std::string(head[1]) + ")");
  game::Best20Table t;
  if (lines.size() < 2 || !lines[1].starts_with("played ") ||
      !whole(lines[1].substr(7), 0, kMaxPlayCount, &t.play_count)) {
    return fail("line 2 is not 'played N'");
  }
  if (lines.size() > 2 + 20) return fail("more than 20 places");
  for (std::size_t i = 2; i < lines.size(); ++i) {
    game::Best20Place p;
    if (!parse_place(lines[i], &p)) return fail("line " + std::to_string(i + 1) + " is not a place");
    if (!t.places.empty() && p.time < t.places.back().time) {
      return fail("line " + std::to_string(i + 1) + " is out of order");
    }
    t.places.push_back(p);
  }
  return t;
}

std::string Best20File::default_path() {
  return platform::xdg_base("XDG_DATA_HOME", ".local/share") + "/peakwend/best20";
}

std::optional<game::Best20Table> Best20File::load() {
  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  std::string text;
  if (fd >= 0) {
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    int err = errno;
    ::close(fd);
    if (n < 0) fd = -1, errno = err;
  }
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    log_ << "peakwend: cannot read " << path_ << ": " << std::strerror(errno)
         << "; the Best 20 will not be kept this time\n";
    may_save_ = false;
    return std::nullopt;
  }
  std::string why;
  auto table = parse_best20(text, &why);
  if (!table) move_aside(why);
  return table;
}

void Best20File::move_aside(const std::string& why) {
  const std::string bad = platform::unused_stamped_path(path_ + ".bad-", "");
  if (std::rename(path_.c_str(), bad.c_str()) == 0) {
    log_ << "peakwend: " << path_ << " cannot be used (" << why << "); moved aside as " << bad
         << ", starting with an empty Best 20\n";
  } else {
    log_ << "peakwend: " << path_ << " cannot be used (" << why << ") nor moved aside ("
         << std::strerror(errno) << "); the Best 20 will not be kept this time\n";
    may_save_ = false;
  }
}

void Best20File::save(const game::Best20Table& table) {
  if (!may_save_) return;
  fs::path dir = fs::path(path_).parent_path();
  if (dir.empty()) dir = ".";
  std::error_code ec;
  fs::create_directories(dir, ec);
  std::string name = path_ + ".new-XXXXXX";
  std::vector<char> tmp(name.begin(), name.end());
  tmp.push_back('\0');
  int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  auto fail = [&](const char* step) {
    int err = errno;
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.data());
    log_ << "peakwend: cannot save the Best 20 in " << path_ << " (" << step << ": "
         << std::strerror(err) << ")\n";
  };
  if (fd < 0) return fail("create");
  const std::string text = format_best20(table);
  for (std::size_t done = 0; done < text.size();) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail("write");
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail("flush");
  int closing = ::close(fd);
  fd = -1;
  if (closing != 0) return fail("close");
  if (before_replace) before_replace();
  if (std::rename(tmp.data(), path_.c_str()) != 0) return fail("rename");
  // The rename itself reaches the disk with the folder.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace app
