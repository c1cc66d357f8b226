// The text grid over the picture: cursor, LOCATE, PRINT and PRINT USING.
#pragma once

#include <string>

namespace rt {

class Runtime;

class Text {
 public:
  // Prints a report at the cursor (Shift-JIS); false when the text screen
  // cannot be used, so the frame shows a message box instead.
  bool print_report(const std::string& sjis);
  // Draws the text buffer over the picture (after a repaint).
  void repaint_text();

 protected:
  void start_text(int width, int height);
  Runtime& rt();
};

}  // namespace rt
