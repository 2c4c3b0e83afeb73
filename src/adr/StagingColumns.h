#pragma once
// The columns of the staging table that the field mapper writes, each named once: the mapper
// looks them up in a row set by these names and then uses them by position.

#include <array>
#include <cstddef>
#include <string_view>

namespace adr {

enum StagingColumn : std::size_t {
    kBriefanrede,
    kAnrede,
    kVorname,
    kRegistergericht,
    kHR2,
    kNachname,
    kAdresszusaetze,
    kBeruf,
    kGeburtstag,
    kGebNameVertr,
    kWeitereSelektion,
    kTelefon2,
    kPostfach,
    kPLZOrtPostfach,
    kStrassenr,
    kPLZOrt,
    kHomepage,
    kBemerkungen,
    kEmail,
    kTelefax,
    kTelefon1,
    kKennzeichen,
    kBank,
    kBankOrt,
    kBankleitzahl,
    kKontoNummer,
    kStagingColumnCount
};

inline constexpr std::array<std::string_view, kStagingColumnCount> kStagingColumnNames = {
    "Briefanrede", "anrede",     "vorname",      "Registergericht",  "HR2",        "nachname", "Adresszusaetze",
    "Beruf",       "Geburtstag", "GebNameVertr", "WeitereSelektion", "telefon2",   "Postfach", "PLZOrtPostfach",
    "strassenr",   "PLZOrt",     "homepage",     "Bemerkungen",      "Email",      "telefax",  "telefon1",
    "Kennzeichen", "Bank",       "BankOrt",      "Bankleitzahl",     "KontoNummer"};

}  // namespace adr
