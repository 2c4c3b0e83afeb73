#pragma once
// The text layer's texts for the user.

#include <string_view>

namespace text::texts {

// A number too large to be read.
inline constexpr std::string_view kOverflow = "Überlauf";

}  // namespace text::texts
