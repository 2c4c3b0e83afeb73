#include "transfer/Texts.h"

namespace transfer::texts {

std::string highestIdNotAnInteger(std::string_view value) {
    return "Die höchste ID der Adressen ist keine ganze Zahl im Bereich bis 2147483647: " + std::string(value);
}

}  // namespace transfer::texts
