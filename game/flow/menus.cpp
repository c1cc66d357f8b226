// The keyboard menus, the key prompt, text positioning and timed pauses.
#include "game/zided.h"
#include "platform/sjis.h"

namespace game {

namespace {

// Key codes the menus answer to.
constexpr int kEnter = 13;
constexpr int kRight = 28;
constexpr int kLeft = 29;
constexpr int kUp = 30;
constexpr int kDown = 31;

// A text of the module in Shift-JIS, converted once.
const std::string& heading_text() {
  static const std::string text = platform::utf8_to_sjis("メ ニ ュ");
  return text;
}

}  // namespace

void Zided::LOCATE1(double row, double col) {
  Sub sub(rt);
  st(); rt.LOCATE(0, rt::CINT(col - 1), rt::CINT(row));
}

void Zided::WAIT1(std::int32_t ms) {
  Sub sub(rt);
  Long t0 = 0;
  Long now = 0;
  st(); t0 = rt.LIBCALL("WINMM", "timeGetTime");
  for (;;) {
    st(); now = rt.LIBCALL("WINMM", "timeGetTime");
    // The clock wraps: the difference is taken in 32-bit arithmetic.
    st(); if (static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(t0)) > ms) break;
  }
}

void Zided::ANYKEY() {
  Sub sub(rt);
  std::string k;
  st(); LOCATE1(26, 30);
  st(); rt.PRINT(0, "* Push any key *");
  do {
    st(); k = rt.INKEY(0);
  } while (!k.empty());
  do {
    st(); k = rt.INKEY(0);
  } while (k.empty());
  st(); LOCATE1(26, 30);
  st(); rt.PRINT(0, "                ");
}

void Zided::FMENU1(double left, double top, double width, double n, Single& ch) {
  Sub sub(rt);
  Single p, x1, y1, x2, y2, i;
  std::string k;
  st(); rt.CLS(0, 0);
  st(); p = 4;
  st(); x1 = 8 * left - 8;
  st(); y1 = 544 - 16 * top + p - 48;
  st(); x2 = x1 + 8 * width;
  st(); y2 = y1 - 16 * (n + 3) - p;
  st(); rt.LINE(0, rt::Coord{x1 - p, y1 + p}, rt::Coord{x2 + p, y2 - p}, rt::CINT(COLMAP(2)), rt::Box::BF);
  st(); rt.LINE(0, rt::Coord{x1, y1}, rt::Coord{x2, y2}, rt::CINT(COLMAP(3)), rt::Box::BF);
  st(); rt.COLOR(0, 1);
  st(); LOCATE1(top, left + 15);
  st(); rt.PRINT(0, heading_text());
  st(); rt.COLOR(0, 0);
  for (i = 1; i <= n; i += 1) {
    st(); LOCATE1(top + i, left);
    st(); rt.PRINT(0, MENU_ITEM(i));
  }
  st(); rt.COLOR(0, 7);
  for (;;) {
    // Highlight the current item.
    st(); rt.COLOR(0, 15);
    st(); LOCATE1(top + ch, left);
    st(); rt.PRINT(0, MENU_ITEM(ch));
    st(); rt.COLOR(0, 7);
    // Forget keys typed ahead, then wait for one.
    do {
      st(); k = rt.INKEY(0);
    } while (!k.empty());
    do {
      st(); k = rt.INKEY(0);
    } while (k.empty());
    st(); int code = rt.ASC(k);
    st(); if (code == kEnter) return;
    if (code == kUp || code == kDown) {
      st(); rt.COLOR(0, 0);
      st(); LOCATE1(top + ch, left);
      st(); rt.PRINT(0, MENU_ITEM(ch));
      st(); rt.COLOR(0, 7);
      if (code == kUp) {
        st(); if (ch == 1) ch = n; else ch = ch - 1;
      } else {
        st(); if (ch == n) ch = 1; else ch = ch + 1;
      }
    }
  }
}

void Zided::HMENU(double x, double y, double w, double n, double cur, Single& sel) {
  Sub sub(rt);
  Single i;
  std::string k;
  for (i = 1; i <= n; i += 1) {
    st(); rt.LOCATE(0, rt::CINT(x + (i - 1) * w), rt::CINT(y));
    st(); rt.PRINT(0, OPT_ITEM(i));
  }
  st(); sel = cur;
  // Forget keys typed ahead, once.
  do {
    st(); k = rt.INKEY(0);
  } while (!k.empty());
  for (;;) {
    st(); rt.COLOR(0, 15);
    st(); rt.LOCATE(0, rt::CINT(x + (sel - 1) * w), rt::CINT(y));
    st(); rt.PRINT(0, OPT_ITEM(sel));
    st(); rt.COLOR(0, 7);
    do {
      st(); k = rt.INKEY(0);
    } while (k.empty());
    st(); int code = rt.ASC(k);
    st(); if (code == kEnter) return;
    if (code == kLeft || code == kRight) {
      st(); rt.COLOR(0, 7);
      st(); rt.LOCATE(0, rt::CINT(x + (sel - 1) * w), rt::CINT(y));
      st(); rt.PRINT(0, OPT_ITEM(sel));
      if (code == kLeft) {
        st(); if (sel == 1) sel = n; else sel = sel - 1;
      } else {
        st(); if (sel == n) sel = 1; else sel = sel + 1;
      }
    }
  }
}

}  // namespace game
