// Keys, mouse, clock, random numbers, BEEP and library calls by name.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/events.h"
#include "platform/winmm.h"
#include "runtime/errors.h"
#include "runtime/values.h"

namespace rt {

class Runtime;

// One variable that INPUT assigns: a SINGLE, a string, or a fixed-length
// string (stored left-aligned, padded or cut with spaces to its length).
class InputTarget {
 public:
  InputTarget(Single& number) : number_(&number) {}  // NOLINT
  InputTarget(std::string& text) : text_(&text) {}   // NOLINT
  InputTarget(char* fixed, std::size_t length) : fixed_(fixed), length_(length) {}
  InputTarget(std::span<char> fixed) : fixed_(fixed.data()), length_(fixed.size()) {}  // NOLINT

  bool is_number() const { return number_ != nullptr; }
  // Stores a converted value; only called once every value converted.
  void store_number(float v) const { *number_ = v; }
  void store_text(std::string_view sjis) const;

 private:
  Single* number_ = nullptr;
  std::string* text_ = nullptr;
  char* fixed_ = nullptr;
  std::size_t length_ = 0;
};

// What INPUT makes of one typed line for targets of the given kinds: one
// field per target (a number, or the text for a string), or nullopt when the
// line does not suit them (a wrong count of fields, a field that is no number
// or overflows a SINGLE, text after a closing quote) and INPUT asks again.
// A single string target takes the whole line, commas included.
enum class InputKind : std::uint8_t { Number, Text };
struct InputField {
  double number = 0.0;  // within SINGLE range
  std::string text;
};
std::optional<std::vector<InputField>> convert_input_line(std::string_view line,
                                                          std::span<const InputKind> kinds);

// One argument of a library call: a 32-bit value, or the address of a LONG
// variable that the function may write (midiOutOpen's handle).
class LibArg {
 public:
  LibArg(std::int32_t* address) : address_(address) {}  // NOLINT
  template <std::integral T>
  LibArg(T v) : value_(static_cast<std::uint32_t>(v)) {  // NOLINT
    // Both LONG and unsigned 32-bit spellings of a value are accepted.
    if constexpr (std::numeric_limits<T>::digits > 32) {
      if (std::cmp_less(v, std::numeric_limits<std::int32_t>::min()) ||
          std::cmp_greater(v, std::numeric_limits<std::uint32_t>::max())) {
        throw RtError(6, location(Op::LibCall, 1));
      }
    }
  }
  LibArg(double v);  // NOLINT: rounded to a LONG, error 6 outside
  LibArg(Single v) : LibArg(static_cast<double>(v)) {}  // NOLINT

  platform::CallArg arg() const { return {value_, address_}; }

 private:
  std::uint32_t value_ = 0;
  std::int32_t* address_ = nullptr;
};

class Input {
 public:
  // Key codes that INKEY$ returns for keys without a character.
  static constexpr std::uint8_t kUserBreak = 3;  // Ctrl+C
  static constexpr std::uint8_t kDelete = 4;     // returned as 127
  static constexpr std::size_t kKeyCapacity = 255;
  static constexpr std::size_t kLineLimit = 255;  // bytes INPUT accepts on a line
  static constexpr std::uint32_t kRandomStart = 204;

  Input();
  ~Input();
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  // The next key as a string of one byte, or "" when none; never waits.
  std::string INKEY(int window);
  // The code of the first byte; error 5 for "".
  int ASC(std::string_view s);
  // Reads a line typed in the window into `targets`. Prompt mode 0: "? ",
  // 1: the prompt and "? ", 2: the prompt alone.
  void INPUT(int window, int prompt_mode, std::string_view prompt,
             std::initializer_list<InputTarget> targets);
  // n = 0, 1: the pointer; 9, 10: its movement since the last such query.
  int MOUSE(int window, int n);
  // The button function: n = 2 down (-1), 3/6/11 press/release/double-click
  // counts (reset by reading), 4/5, 7/8, 12/13 their positions.
  int MOUSE(int window, int n, int button);
  std::string TIME();
  std::string DATE(std::string_view format = {});
  Single RND(double x);
  void RANDOMIZE(std::int32_t seed);
  void BEEP();

  // Calls `function` of `library` by name with 32-bit arguments; its 32-bit
  // result. Errors 5 (no such library or function, wrong arguments) and 7.
  template <class... A>
  std::int32_t LIBCALL(std::string_view library, std::string_view function, A&&... args) {
    const LibArg list[] = {LibArg(std::forward<A>(args))..., LibArg(0)};
    return call_library(library, function, std::span<const LibArg>(list, sizeof...(A)));
  }
  std::int32_t call_library(std::string_view library, std::string_view function,
                            std::span<const LibArg> args);

  // The window procedure's share: key and mouse events.
  void on_input_event(const platform::Event& event);
  void clear_key_buffer();
  std::size_t keys_waiting() const { return static_cast<std::uint8_t>(key_write_ - key_read_); }
  // Library table entries (names in capitals), for tests.
  std::size_t loaded_libraries() const { return libraries_.size(); }
  std::uint32_t random_state() const { return random_state_; }

 protected:
  void start_input();
  Runtime& rt();

 private:
  struct Button {
    bool down = false;
    int presses = 0, releases = 0, doubles = 0;
    int press_x = 0, press_y = 0, release_x = 0, release_y = 0, double_x = 0, double_y = 0;
  };
  struct Library {
    platform::LibraryHandle handle;
    std::string name;
  };

  void push_key(std::uint8_t code);
  int take_key();  // -1 when empty
  void key_down(const platform::Event& e);
  void mouse_event(const platform::Event& e);
  std::string read_line();
  bool assign_line(std::string_view line, std::initializer_list<InputTarget> targets);
  platform::SystemLibraries& libraries();

  std::array<std::uint8_t, 256> keys_{};
  std::uint8_t key_read_ = 0;
  std::uint8_t key_write_ = 0;
  std::uint8_t shift_state_ = 0;  // kShift | kCtrl
  int mouse_x_ = 0, mouse_y_ = 0;
  int moved_from_x_ = 0, moved_from_y_ = 0;
  std::array<Button, 2> buttons_{};
  std::uint32_t random_state_ = kRandomStart;
  std::unique_ptr<platform::SystemLibraries> system_;
  std::vector<Library> libraries_;
};

}  // namespace rt
