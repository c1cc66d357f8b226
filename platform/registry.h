// The few current-user registry values the runtime reads and writes, kept in
// a small text file ($XDG_CONFIG_HOME/peakwend/registry, else ~/.config/...).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

namespace platform {

class Registry {
 public:
  using Value = std::variant<std::string, std::uint32_t>;

  // Uses `path`, or the default file when empty.
  explicit Registry(std::string path = {});

  static std::string default_path();
  const std::string& path() const { return path_; }

  // Reads the file again. A corrupt file is reported on stderr and treated
  // as empty; it is replaced at the next write.
  void load();
  std::optional<Value> get(const std::string& key, const std::string& name) const;
  void set(const std::string& key, const std::string& name, Value value);
  // Writes the file; false with a message when it cannot be written.
  bool save(std::string* error);

 private:
  std::string path_;
  std::map<std::string, std::map<std::string, Value>> keys_;
};

}  // namespace platform
