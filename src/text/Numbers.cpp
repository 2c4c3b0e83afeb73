#include "text/Numbers.h"

#include <cmath>

#include "text/Characters.h"
#include "text/LeadingNumber.h"

namespace text {

std::optional<double> numericValue(std::string_view text) {
    const std::string trimmed = trimSpaces(text);
    LeadingNumber number;
    std::size_t taken = 0;
    for (; taken < trimmed.size() && !number.finished(); ++taken) {
        number.feed(std::string_view(trimmed).substr(taken, 1));
    }
    // Finishing on a character means that character was no part of the number.
    if (number.finished() || !number.hasDigits()) return std::nullopt;
    try {
        return number.value();
    } catch (const NumberOverflow&) {
        return std::nullopt;
    }
}

std::optional<std::int32_t> toInt32(std::string_view text) {
    const auto value = numericValue(text);
    if (!value) return std::nullopt;
    const double rounded = std::nearbyint(*value);  // the default rounding mode: half to even
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

}  // namespace text
