// The form that describes the main window (name, icon, caption, position,
// outer size, font, character set, event procedure names).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

struct Form {
  std::string name;
  std::string icon;
  std::string caption;
  int x = 0, y = 0;
  int outer_width = 0, outer_height = 0;
  std::string font;
  int charset = 0;
  std::vector<std::string> events;

  // The client area inside a 4-pixel sizing frame and a 19-pixel caption.
  static constexpr int kFrame = 4;
  static constexpr int kCaption = 19;
  int client_width() const { return outer_width - 2 * kFrame; }
  int client_height() const { return outer_height - 2 * kFrame - kCaption; }
};

// Reads a form description; nullopt with a message naming the line when
// it is malformed or incomplete.
std::optional<Form> parse_form(std::string_view text, std::string* error);

}  // namespace rt
