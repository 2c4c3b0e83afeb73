#include "text/Counted.h"

#include "text/NumberText.h"

namespace text {

std::string counted(std::int64_t number, std::string_view separator, std::string_view one, std::string_view many) {
    return groupDigits(number, separator) + " " + std::string(number == 1 ? one : many);
}

}  // namespace text
