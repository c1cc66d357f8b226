#include "tools/soak/player.h"

#include <array>

#include "platform/sjis.h"

namespace soak {

namespace {

std::uint64_t splitmix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
  return (x << k) | (x >> (64 - k));
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// What the player can do.
enum Act : std::uint8_t {
  kEnter,       // Enter
  kVertical,    // Up, Down
  kHorizontal,  // Left, Right
  kBackspace,
  kOtherKey,    // Esc, Space, Tab, Delete, Home, End, PageUp, PageDown, Insert, F1..F12
  kChar,        // one character key: ASCII, Japanese, or one that Shift-JIS lacks
  kCtrl,        // Ctrl+letter
  kType,        // a short text
  kLongType,    // a text longer than the key buffer holds
  kMove,        // the pointer anywhere, also outside the window
  kClick,       // left click anywhere
  kStartClick,  // left click on the start edge
  kRightClick,  // right click anywhere
  kDrag,        // left drag, mostly within the field
  kPress,       // one button down, left or right
  kRelease,     // one button up
  kActs
};

using Weights = std::array<int, kActs>;

// Per wait, in thousandths. At a menu Enter is frequent so that games and
// screens get chosen. At the mouse waits most input is harmless clicking and
// moving, and a few in a hundred (drags, or a left press and release apart)
// start a try, so that tries, the costly part, come every hundred events or
// so; the right button, which abandons the game, is rare so that many games
// run to their end.
// clang-format off
//                          Ent Ver Hor Bks Key Chr Ctl Typ Lng Mov Clk Sta Rgt Drg Prs Rel
constexpr Weights kKeys  = {300,230, 90, 20, 80, 80, 20, 20,  2, 50, 40, 10,  8, 20, 15, 15};
constexpr Weights kMouse = { 20, 20, 10,  5, 30, 30,  8, 10,  1,300,220,250,  1,  6, 12, 12};
constexpr Weights kLine  = {120, 20, 20,120, 60,220, 30,200, 12, 40, 40,  5,  5, 10,  5,  5};
constexpr Weights kOther = {100, 80, 60, 50,100, 80, 40, 60,  4,100, 80, 50, 20, 60, 40, 40};
// clang-format on

using platform::Key;
constexpr std::array<Key, 21> kOtherKeys = {
    Key::Escape,   Key::Space,  Key::Tab, Key::Delete, Key::Home, Key::End, Key::PageUp,
    Key::PageDown, Key::Insert, Key::F1,  Key::F2,     Key::F3,   Key::F4,  Key::F5,
    Key::F6,       Key::F7,     Key::F8,  Key::F9,     Key::F10,  Key::F11, Key::F12,
};

constexpr std::u32string_view kAscii =
    U"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!\"#$%&'()*+,-./"
    U":;<=>?@[\\]^_`{|}~";
// Hiragana, katakana, kanji, full-width forms, half-width katakana (single
// bytes in Shift-JIS) and the vendor extensions of code page 932.
constexpr std::u32string_view kJapanese =
    U"あいうえおかきくけこさしすせそなにぬねのはひふへほやゆよわをんアイウエオガギグゲゴパピプペポ"
    U"ー山川日本語漢字雪木走歩者表示点数時間制限終了名前ＡＢＣ１２３～－　ｱｲｳｴｵｶﾞﾟ｡｢｣、。・①②Ⅰ";
// Characters Shift-JIS lacks (they become '?') and some it has.
constexpr std::u32string_view kForeign = U"éüñßΩЖ€😀中文한\u00A0";

char32_t random_char(Random& r) {
  int p = r.below(100);
  if (p < 55) return kAscii[static_cast<std::size_t>(r.below(static_cast<int>(kAscii.size())))];
  if (p < 92)
    return kJapanese[static_cast<std::size_t>(r.below(static_cast<int>(kJapanese.size())))];
  return kForeign[static_cast<std::size_t>(r.below(static_cast<int>(kForeign.size())))];
}

// A text a script can carry: no leading or trailing blank.
std::string random_text(Random& r, int length) {
  std::u32string t;
  for (int i = 0; i < length; ++i) {
    char32_t c = r.below(8) == 0 ? U' ' : random_char(r);
    t.push_back(c);
  }
  auto blank = [](char32_t c) { return c == U' ' || c == U'\u3000' || c == U'\u00A0'; };
  while (!t.empty() && blank(t.front())) t.erase(t.begin());
  while (!t.empty() && blank(t.back())) t.pop_back();
  if (t.empty()) t.push_back(U'x');
  return platform::utf32_to_utf8(t);
}

// A point in the window, and now and then outside it.
void random_point(Random& r, int* x, int* y) {
  if (r.below(10) == 0) {
    *x = r.between(-200, 840);
    *y = r.between(-200, 704);
  } else {
    *x = r.between(0, 639);
    *y = r.between(0, 503);
  }
}

platform::ScriptCommand key(platform::Key k) {
  platform::ScriptCommand c;
  c.op = platform::ScriptCommand::Op::Key;
  c.key = k;
  return c;
}

}  // namespace

Random::Random(std::uint64_t seed) {
  for (std::uint64_t& s : s_) s = splitmix(seed);
}

std::uint64_t Random::next() {
  std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
  std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 45);
  return result;
}

int Random::below(int n) {
  if (n <= 1) return 0;
  // Multiply-shift: unbiased enough for a soak, and the same everywhere.
  return static_cast<int>((next() >> 32) * static_cast<std::uint64_t>(n) >> 32);
}

std::size_t Random::pick(std::span<const int> weights) {
  int total = 0;
  for (int w : weights) total += w;
  int r = below(total);
  for (std::size_t i = 0; i < weights.size(); ++i) {
    if (r < weights[i]) return i;
    r -= weights[i];
  }
  return weights.size() - 1;
}

Wait wait_of(std::string_view source_file) {
  if (ends_with(source_file, "flow/menus.cpp")) return Wait::Keys;
  if (ends_with(source_file, "walker/mouse.cpp")) return Wait::Mouse;
  if (ends_with(source_file, "flow/main_program.cpp")) return Wait::Line;
  return Wait::Other;
}

platform::ScriptCommand choose_command(Random& r, const Situation& s) {
  using platform::Key;
  using Op = platform::ScriptCommand::Op;
  const Weights& w = s.wait == Wait::Keys    ? kKeys
                     : s.wait == Wait::Mouse ? kMouse
                     : s.wait == Wait::Line  ? kLine
                                             : kOther;
  platform::ScriptCommand c;
  switch (static_cast<Act>(r.pick(w))) {
    case kEnter:
      // Staying: at the menu with the cursor on "End", step down to "Start" instead.
      if (s.stay && s.wait == Wait::Keys && s.menu_choice == 9) return key(Key::Down);
      return key(Key::Enter);
    case kVertical:
      if (s.wait == Wait::Keys) {
        // Two times in three the shorter way round to "Start", so that games
        // start often and "End", next to it, comes now and then.
        bool up = s.menu_choice >= 2 && s.menu_choice <= 5;
        if (r.below(3) == 0) up = !up;
        return key(up ? Key::Up : Key::Down);
      }
      return key(r.below(2) ? Key::Up : Key::Down);
    case kHorizontal:
      return key(r.below(2) ? Key::Left : Key::Right);
    case kBackspace:
      return key(Key::Backspace);
    case kOtherKey:
      return key(
          kOtherKeys[static_cast<std::size_t>(r.below(static_cast<int>(kOtherKeys.size())))]);
    case kChar: {
      c = key(Key::Char);
      do {
        c.ch = random_char(r);
      } while (c.ch == U' ' || c.ch == U'\u3000' || c.ch == U'\u00A0');
      return c;
    }
    case kCtrl: {
      c = key(Key::Char);
      c.ctrl = true;
      // Not C (the user break), nor M (Enter) when staying.
      do {
        c.ch = static_cast<char32_t>(U'a' + r.below(26));
      } while (c.ch == U'c' || (s.stay && c.ch == U'm'));
      return c;
    }
    case kType:
      c.op = Op::Type;
      c.arg = random_text(r, r.between(1, 24));
      return c;
    case kLongType:
      // Enough double-byte characters to overflow the 255-byte key buffer.
      c.op = Op::Type;
      c.arg = random_text(r, r.between(100, 250));
      return c;
    case kMove:
      c.op = Op::Move;
      random_point(r, &c.a, &c.b);
      return c;
    case kClick:
      c.op = Op::Click;
      random_point(r, &c.a, &c.b);
      return c;
    case kStartClick:
      c.op = Op::Click;
      c.a = r.between(-5, 644);
      c.b = r.between(480, 503);
      return c;
    case kRightClick:
      c.op = Op::Click;
      c.button = platform::MouseButton::Right;
      random_point(r, &c.a, &c.b);
      return c;
    case kDrag: {
      c.op = Op::Drag;
      c.a = r.between(0, 639);
      c.b = r.between(20, 503);
      int p = r.below(10);
      if (p == 0) {  // a drag of nothing: a click
        c.c = c.a;
        c.d = c.b;
      } else if (p == 1) {  // ending outside the window
        random_point(r, &c.c, &c.d);
        c.c += r.below(2) ? 700 : -700;
      } else {  // mostly up the field, towards the goal
        c.c = c.a + r.between(-200, 200);
        c.d = c.b - r.between(-80, 300);
      }
      return c;
    }
    case kPress:
    case kRelease:
    default:
      c.op = r.below(2) ? Op::Press : Op::Release;
      c.button = r.below(s.wait == Wait::Mouse ? 50 : 3) == 0 ? platform::MouseButton::Right
                                                              : platform::MouseButton::Left;
      return c;
  }
}

std::string script_line(const platform::ScriptCommand& cmd) {
  using Op = platform::ScriptCommand::Op;
  auto button = [](platform::MouseButton b) {
    return b == platform::MouseButton::Right ? "right" : "left";
  };
  auto num = [](int v) { return std::to_string(v); };
  switch (cmd.op) {
    case Op::Key:
      if (cmd.ctrl) return "key Ctrl+" + std::string(1, static_cast<char>(cmd.ch - U'a' + U'A'));
      if (cmd.key == platform::Key::Char) {
        return "key " + platform::utf32_to_utf8(std::u32string(1, cmd.ch));
      }
      return "key " + platform::key_name(cmd.key);
    case Op::Type:
      return "type " + cmd.arg;
    case Op::Move:
      return "move " + num(cmd.a) + " " + num(cmd.b);
    case Op::Press:
      return std::string("press ") + button(cmd.button);
    case Op::Release:
      return std::string("release ") + button(cmd.button);
    case Op::Click:
      return "click " + num(cmd.a) + " " + num(cmd.b) +
             (cmd.button == platform::MouseButton::Right ? " right" : "");
    case Op::Drag:
      return "drag " + num(cmd.a) + " " + num(cmd.b) + " " + num(cmd.c) + " " + num(cmd.d);
    default:
      return "idle";
  }
}

}  // namespace soak
