#pragma once
// The line that lists a converted address: surname, salutation word, postal code and place,
// street, telephones and fax, each part with its prefix only when it has text.

#include <string>

namespace db {
class RowSet;
}

namespace app {

std::string listLine(const db::RowSet& row);

}  // namespace app
