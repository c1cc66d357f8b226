// The data files of module zideD, as compiled into the program.
#pragma once

#include <string_view>

namespace data {

// The form of the main window (data/mainform.frm).
std::string_view mainform_text();
// The module's DATA lines (data/constants.bas).
std::string_view constants_text();

}  // namespace data
