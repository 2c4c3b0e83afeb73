#pragma once
// The values of a record's row that say who the address is and how to reach it, as the row is
// saved: what the migration report checks for implausible values and likely duplicates. Views
// of the row's own texts, valid while it is looked at; never changed.

#include <optional>
#include <string_view>

#include "db/Value.h"

namespace adr {

struct MappedValues {
    std::string_view nachname;
    std::string_view vorname;
    std::string_view strasse;
    std::string_view plzOrt;
    std::string_view plzOrtPostfach;
    std::string_view telefon1;
    std::string_view telefon2;
    std::string_view telefax;
    std::string_view email;
    std::string_view bankleitzahl;
    std::string_view kontoNummer;
    std::optional<db::Date> geburtstag;
};

}  // namespace adr
