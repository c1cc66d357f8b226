// The form reader on any text: a form whose window fits, or a message that
// names the line. A form it accepts, written out again, reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "runtime/form.h"

namespace {

std::string write_form(const rt::Form& f) {
  std::string out = "form = " + f.name + "\n";
  if (!f.icon.empty()) out += "icon = " + f.icon + "\n";
  out += "caption = " + f.caption + "\n";
  out += "position = " + std::to_string(f.x) + " " + std::to_string(f.y) + "\n";
  out += "size = " + std::to_string(f.outer_width) + " " + std::to_string(f.outer_height) + "\n";
  out += "font = " + f.font + "\n";
  out += "charset = " + std::to_string(f.charset) + "\n";
  for (const std::string& e : f.events) out += "event = " + e + "\n";
  return out;
}

bool same(const rt::Form& a, const rt::Form& b) {
  return a.name == b.name && a.icon == b.icon && a.caption == b.caption && a.x == b.x &&
         a.y == b.y && a.outer_width == b.outer_width && a.outer_height == b.outer_height &&
         a.font == b.font && a.charset == b.charset && a.events == b.events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  auto form = rt::parse_form(text, &error);
  if (!form) {
    if (error.rfind("form line ", 0) != 0) std::abort();
    return 0;
  }
  if (form->client_width() < 1 || form->client_height() < 1 || form->charset < 0 ||
      form->charset > 255) {
    std::abort();
  }
  auto again = rt::parse_form(write_form(*form), &error);
  if (!again || !same(*form, *again)) std::abort();
  return 0;
}
