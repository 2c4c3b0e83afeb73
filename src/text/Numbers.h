#pragma once
// Texts that are numbers as a whole: the id fields' test, and a command line's address number.

#include <cstdint>
#include <optional>
#include <string_view>

namespace text {

// The value when the whole text (blanks around it aside) reads as a number; none otherwise.
std::optional<double> numericValue(std::string_view text);
// The text as a 32-bit whole number, rounded half to even as a numeric conversion does;
// none when it is not a number or does not fit.
std::optional<std::int32_t> toInt32(std::string_view text);

}  // namespace text
