#include "app/ListLine.h"

#include "adr/TextHelpers.h"
#include "db/RowSet.h"

namespace app {

std::string listLine(const db::RowSet& row) {
    return adr::Nz(row.value("nachname"), "").toText() + adr::list(row.value("anrede"), ", ") +
           adr::list(row.value("PLZOrt"), ", ") + adr::list(row.value("strassenr"), ", ") +
           adr::list(row.value("telefon1"), ", Tel. : ") + adr::list(row.value("telefon2"), ", Tel2. : ") +
           adr::list(row.value("telefax"), ", Fax. : ");
}

}  // namespace app
