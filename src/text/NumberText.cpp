#include "text/NumberText.h"

namespace text {

std::string groupDigits(std::int64_t number, std::string_view separator) {
    const bool negative = number < 0;
    std::string digits = std::to_string(number);
    if (negative) digits.erase(0, 1);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
        grouped += digits[i];
    }
    return negative ? "-" + grouped : grouped;
}

}  // namespace text
