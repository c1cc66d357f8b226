// The registry file with any contents: read without fault (a corrupt file is
// taken as empty), written back in a form that reads back the same, and a
// value set under any names is the value read after a save and a load.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry.h"

namespace {

// A directory of this process's own, removed at exit.
class Scratch {
 public:
  Scratch()
      : dir_(std::filesystem::temp_directory_path() /
             ("peakwend-fuzz-registry-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir_);
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::string file(const char* name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// What set() keeps of a name or text: line breaks and separators become spaces.
std::string cleaned(std::string s) {
  for (char& c : s) {
    if (c == '\n' || c == '\r' || c == '|') c = ' ';
  }
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::string key = in.ConsumeRandomLengthString(40);
  std::string name = in.ConsumeRandomLengthString(40);
  bool is_text = in.ConsumeBool();
  std::string text = in.ConsumeRandomLengthString(80);
  std::uint32_t number = in.ConsumeIntegral<std::uint32_t>();
  std::string file = in.ConsumeRemainingBytesAsString();

  static const Scratch scratch;
  const std::string a = scratch.file("a"), b = scratch.file("b");
  {
    std::ofstream out(a, std::ios::binary | std::ios::trunc);
    out << file;
  }
  platform::Registry first(a);
  std::string error;
  if (!first.save(&error)) std::abort();
  std::string written = read_file(a);
  {
    std::ofstream out(b, std::ios::binary | std::ios::trunc);
    out << written;
  }
  platform::Registry second(b);
  if (!second.save(&error) || read_file(b) != written) std::abort();

  platform::Registry::Value value =
      is_text ? platform::Registry::Value(text) : platform::Registry::Value(number);
  second.set(key, name, value);
  if (!second.save(&error)) std::abort();
  platform::Registry third(b);
  auto got = third.get(cleaned(key), cleaned(name));
  if (is_text) {
    if (!got || std::get<std::string>(*got) != cleaned(text)) std::abort();
  } else if (!got || std::get<std::uint32_t>(*got) != number) {
    std::abort();
  }
  return 0;
}
