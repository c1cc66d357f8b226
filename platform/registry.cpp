#include "platform/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/xdg.h"

namespace platform {

namespace fs = std::filesystem;

// File format, one value a line:  KEY|NAME|sz|TEXT  or  KEY|NAME|dword|NUMBER
Registry::Registry(std::string path) : path_(path.empty() ? default_path() : std::move(path)) {
  load();
}

std::string Registry::default_path() {
  return platform::xdg_base("XDG_CONFIG_HOME", ".config") + "/peakwend/registry";
}

void Registry::load() {
  keys_.clear();
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ++n;
    if (line.empty()) continue;
    std::size_t a = line.find('|');
    std::size_t b = a == std::string::npos ? a : line.find('|', a + 1);
    std::size_t c = b == std::string::npos ? b : line.find('|', b + 1);
    bool ok = c != std::string::npos;  // empty names are names too
    if (ok) {
      std::string type = line.substr(b + 1, c - b - 1);
      std::string text = line.substr(c + 1);
      Value v;
      if (type == "sz") {
        v = text;
      } else if (type == "dword") {
        char* end = nullptr;
        unsigned long x = std::strtoul(text.c_str(), &end, 10);
        ok = !text.empty() && *end == 0 && x <= 0xFFFFFFFFul;
        v = static_cast<std::uint32_t>(x);
      } else {
        ok = false;
      }
      if (ok) keys_[line.substr(0, a)][line.substr(a + 1, b - a - 1)] = v;
    }
    if (!ok) {
      std::cerr << "peakwend: " << path_ << " line " << n << " is corrupt; the file will be replaced\n";
      keys_.clear();
      return;
    }
  }
}

std::optional<Registry::Value> Registry::get(const std::string& key, const std::string& name) const {
  auto k = keys_.find(key);
  if (k == keys_.end()) return std::nullopt;
  auto v = k->second.find(name);
  if (v == k->second.end()) return std::nullopt;
  return v->second;
}

void Registry::set(const std::string& key, const std::string& name, Value value) {
  // Keep the file line-oriented: no line breaks or separators in names.
  auto clean = [](std::string s) {
    for (char& ch : s) {
      if (ch == '\n' || ch == '\r' || ch == '|') ch = ' ';
    }
    return s;
  };
  if (auto* s = std::get_if<std::string>(&value)) *s = clean(*s);
  keys_[clean(key)][clean(name)] = std::move(value);
}

bool Registry::save(std::string* error) {
  std::error_code ec;
  fs::path p(path_);
  if (p.has_parent_path()) fs::create_directories(p.parent_path(), ec);
  std::ostringstream out;
  for (const auto& [key, values] : keys_) {
    for (const auto& [name, v] : values) {
      out << key << '|' << name << '|';
      if (const auto* s = std::get_if<std::string>(&v)) {
        out << "sz|" << *s << '\n';
      } else {
        out << "dword|" << std::get<std::uint32_t>(v) << '\n';
      }
    }
  }
  std::string tmp = path_ + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    f << out.str();
    f.flush();
    if (!f) {
      if (error) *error = "cannot write " + tmp;
      fs::remove(tmp, ec);
      return false;
    }
  }
  fs::rename(tmp, path_, ec);
  if (ec) {
    if (error) *error = "cannot replace " + path_ + ": " + ec.message();
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}

}  // namespace platform
