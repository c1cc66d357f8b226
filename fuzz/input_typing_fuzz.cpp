// INPUT as a player types it: any characters, Backspace, cursor, function
// and Ctrl keys, from any place on the screen, lines that wrap and scroll.
// INPUT takes the first line that suits its variables, as a model of the
// editing makes the lines, or, with none, ends when the window closes; the
// cursor stays on the grid.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/script.h"
#include "platform/sjis.h"
#include "runtime/runtime.h"
#include "tests/support/program.h"

namespace {

using platform::Key;
using platform::ScriptCommand;

// What a player may type: ASCII, double-byte and half-width characters, a
// tab (a control code), and characters Shift-JIS lacks (typed as '?').
const char* const kChars[] = {"a", "Z",  "0",  "7",  " ", ",", ".",  "-", "+", "E", "\"", "\\",
                              "~", "あ", "漢", "表", "ｱ", "ﾟ", "\t", "€", "😀", "ü", "　", "、"};
const Key kKeys[] = {Key::Left,   Key::Right,  Key::Up,  Key::Down,   Key::Home,   Key::End,
                     Key::Delete, Key::Escape, Key::Tab, Key::Insert, Key::PageUp, Key::F1};

ScriptCommand key(Key k, char32_t ch = 0, bool ctrl = false) {
  ScriptCommand c;
  c.op = ScriptCommand::Op::Key;
  c.key = k;
  c.ch = ch;
  c.ctrl = ctrl;
  return c;
}

// The lines the keys make, each ended by Enter: Backspace takes the last
// whole character, control codes are not typed, a line holds 255 bytes.
class LineModel {
 public:
  void type(const std::string& sjis) {
    if (sjis.size() == 1 && static_cast<unsigned char>(sjis[0]) < 0x20) return;
    if (line_.size() + sjis.size() > rt::Input::kLineLimit) return;
    line_ += sjis;
    chars_.push_back(sjis.size());
  }
  void backspace() {
    if (chars_.empty()) return;
    line_.resize(line_.size() - chars_.back());
    chars_.pop_back();
  }
  void enter() {
    lines_.push_back(line_);
    line_.clear();
    chars_.clear();
  }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  std::string line_;
  std::vector<std::size_t> chars_;
  std::vector<std::string> lines_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  std::vector<rt::InputKind> kinds(in.ConsumeIntegralInRange<std::size_t>(1, 3));
  for (rt::InputKind& k : kinds) k = in.ConsumeBool() ? rt::InputKind::Number : rt::InputKind::Text;
  int column = in.ConsumeIntegralInRange(0, 79), row = in.ConsumeIntegralInRange(0, 27);
  std::string prompt = in.ConsumeRandomLengthString(40);

  std::vector<ScriptCommand> script;
  LineModel model;
  int commands = in.ConsumeIntegralInRange(0, 24);
  for (int i = 0; i < commands; ++i) {
    int what = in.ConsumeIntegralInRange(0, 9);
    if (what <= 4) {
      ScriptCommand c;
      c.op = ScriptCommand::Op::Type;
      // At most 80 characters: every key of one command fits the key buffer.
      int n = in.ConsumeIntegralInRange(1, 80);
      for (int k = 0; k < n; ++k) {
        std::string ch = kChars[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kChars) - 1)];
        c.arg += ch;
        model.type(platform::utf8_to_sjis(ch));
      }
      script.push_back(c);
    } else if (what <= 6) {
      script.push_back(key(Key::Backspace));
      model.backspace();
    } else if (what == 7) {
      script.push_back(key(kKeys[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kKeys) - 1)]));
    } else if (what == 8) {
      // Ctrl with a letter gives its control code: H is Backspace, M is Enter;
      // C (the user break) is left out.
      char32_t letter = U'a' + in.ConsumeIntegralInRange<char32_t>(0, 25);
      if (letter == U'c') letter = U'h';
      script.push_back(key(Key::Char, letter, true));
      if (letter == U'h') model.backspace();
      if (letter == U'm') model.enter();
    } else {
      script.push_back(key(Key::Enter));
      model.enter();
    }
  }
  script.push_back(key(Key::Enter));
  model.enter();
  ScriptCommand idle;
  idle.op = ScriptCommand::Op::Idle;
  script.push_back(idle);  // the window stays open until the last line is read

  // The first line that suits the variables is the one INPUT takes.
  std::optional<std::vector<rt::InputField>> want;
  for (const std::string& line : model.lines()) {
    if ((want = rt::convert_input_line(line, kinds))) break;
  }

  platform::HostOptions options;
  options.script = std::move(script);
  testing_support::Program program(std::move(options));
  program.start();
  rt::Runtime& r = program.rt();
  r.LOCATE(0, column, row);
  std::vector<rt::Single> numbers(kinds.size());
  std::vector<std::string> texts(kinds.size());
  bool ended = false;
  try {
    switch (kinds.size()) {
      case 1:
        if (kinds[0] == rt::InputKind::Number) {
          r.INPUT(0, 1, prompt, {numbers[0]});
        } else {
          r.INPUT(0, 1, prompt, {texts[0]});
        }
        break;
      default: {
        auto target = [&](std::size_t i) {
          return kinds[i] == rt::InputKind::Number ? rt::InputTarget(numbers[i])
                                                   : rt::InputTarget(texts[i]);
        };
        if (kinds.size() == 2) {
          r.INPUT(0, 1, prompt, {target(0), target(1)});
        } else {
          r.INPUT(0, 1, prompt, {target(0), target(1), target(2)});
        }
        break;
      }
    }
  } catch (const rt::ProgramEnd&) {
    ended = true;
  }
  if (r.cursor_row() < 0 || r.cursor_row() >= r.text_rows() || r.cursor_column() < 0 ||
      r.cursor_column() > r.text_columns()) {
    std::abort();
  }
  if (ended != !want) std::abort();
  if (!want) return 0;
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    const rt::InputField& f = (*want)[i];
    if (kinds[i] == rt::InputKind::Number ? numbers[i].bits() != static_cast<float>(f.number)
                                          : texts[i] != f.text) {
      std::abort();
    }
  }
  return 0;
}
