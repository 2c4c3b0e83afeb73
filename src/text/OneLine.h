#pragma once
// Message texts where only one line fits (a console line, the window's target field).

#include <string>

namespace text {

// Line breaks (CR LF, CR or LF) become one blank each, none after a blank.
std::string oneLine(const std::string& text);

}  // namespace text
