#pragma once
// The values of a record's row that say who the address is and how to reach it, as the mapper
// hands the row on: what the migration report checks for implausible values and likely
// duplicates. Read back from the row, never changed.

#include <optional>
#include <string>

#include "db/Value.h"

namespace adr {

struct MappedValues {
    std::string nachname;
    std::string vorname;
    std::string strasse;
    std::string plzOrt;
    std::string plzOrtPostfach;
    std::string telefon1;
    std::string telefon2;
    std::string telefax;
    std::string email;
    std::string bankleitzahl;
    std::string kontoNummer;
    std::optional<db::Date> geburtstag;
};

}  // namespace adr
