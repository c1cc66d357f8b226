#include "runtime/errors.h"

#include <cerrno>

namespace rt {

std::string error_message(int number) {
  switch (number) {
    case 2: return "DATA文の書式が正しくありません";
    case 4: return "READ文で読むデータがありません";
    case 5: return "関数呼び出しの引数が正しくありません";
    case 6: return "オーバーフローしました";
    case 7: return "メモリが足りません";
    case 9: return "配列の添字が範囲外です";
    case 10: return "配列が二重に定義されました";
    case 11: return "0で除算しました";
    case 13: return "型が一致しません";
    case 19: return "エラー処理ルーチンの中からSUBを抜けました";
    case 27: return "システムエラーが発生しました";
    case 76: return "エラー処理中に配列を定義できません";
    case 81: return "スタックが足りません";
    case 1000: return "ウィンドウ番号が正しくありません";
    case 1002: return "このウィンドウには使えません";
    default: return {};
  }
}

int map_system_error(int code) {
  switch (code) {
    case ENOMEM: return 7;
    case EINVAL:
    case ERANGE: return 5;
    default: return 27;
  }
}

}  // namespace rt
