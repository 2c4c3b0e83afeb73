#pragma once
// The keys by which two converted addresses are likely the same person or firm: the name with
// the postal code and the street, and the name with a telephone number. Each part is folded
// (case, umlauts and ß, accents), without blanks and punctuation, "Str.", "Straße" and
// "Strasse" alike, a telephone number's "+49" as its "0"; the key is hashed. A key is made only
// of parts that are not empty.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "adr/MappedValues.h"

namespace review {

struct DuplicateKey {
    enum Kind : std::uint8_t { address = 1, phone = 2 };
    std::uint64_t hash = 0;
    Kind kind = address;
};

// The record's keys: by address, and by each of its two telephone numbers. Answers how many.
std::size_t duplicateKeys(const adr::MappedValues& values, std::array<DuplicateKey, 3>& keys);

// A part of a key as it is compared: lower-case letters and digits only, umlauts and ß spelled out.
std::string foldedForKey(std::string_view text);

}  // namespace review
