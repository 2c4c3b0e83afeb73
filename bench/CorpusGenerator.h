#pragma once
// Writes an ADR directory of realistic German addresses: every marker and tag block the field
// mapper knows, at rates seen in real data, umlauts as the DOS bytes of the reader's table,
// CR LF line ends, the records spread over "01A" to "99A" by the last two digits of their
// number. The same seed gives the same directory.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

// What a corpus may hold on purpose for the migration report to find: records that repeat an
// earlier one (the same person written differently: in capitals with "ue" for "ü" and "Straße"
// for "Str." at the same address, or with the same telephone number as "+49 …" elsewhere), and
// records with one value each that a person would question, among which stand as many with
// values that only look odd (a foreign postal code, a valid IBAN, a BIC).
struct Flaws {
    int duplicates = 0;
    int values = 0;
};

// A record planted to be noted: its address number, what is noted ("Dublette", "Postleitzahl",
// "E-Mail", "Telefon", "Geburtsdatum", "Bankleitzahl", "Kontonummer", "IBAN"), and for a
// duplicate the address number of the record it repeats.
struct PlantedFlaw {
    int number = 0;
    std::string kind;
    int repeats = 0;
};

// Answers the number of bytes written. With flaws, every other record has a house number of its
// own, so that no two records are alike by chance, and planted tells what was planted.
std::uint64_t writeCorpus(const std::filesystem::path& directory, int records, std::uint32_t seed,
                          const Flaws& flaws = {}, std::vector<PlantedFlaw>* planted = nullptr);

}  // namespace bench
