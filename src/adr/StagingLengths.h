#pragma once
// The longest text the field mapper writes into each staging column, in characters. A line
// reaches the mapper cut to its first 200 characters, so a sub-field holds at most that; two
// columns are composed longer: the letter salutation "Sehr geehrte Frau <nachname>, sehr
// geehrter Herr <nachname>," repeats the surname (40 characters besides), and the postal code
// taken without its tag is the whole line followed by a blank and the (then empty) place.

#include <array>
#include <cstddef>

#include "adr/LineReader.h"
#include "adr/StagingColumns.h"

namespace adr {

inline constexpr std::size_t kLongestSalutation = 2 * kLineTextLimit + 40;
inline constexpr std::size_t kLongestPlzOrt = kLineTextLimit + 1;
// A birth date is written as a date; a text column would hold "YYYY-MM-DD".
inline constexpr std::size_t kDateTextLength = 10;

inline constexpr std::array<std::size_t, kStagingColumnCount> kStagingMaxChars = [] {
    std::array<std::size_t, kStagingColumnCount> longest{};
    longest.fill(kLineTextLimit);
    longest[kBriefanrede] = kLongestSalutation;
    longest[kPLZOrt] = kLongestPlzOrt;
    longest[kGeburtstag] = kDateTextLength;
    return longest;
}();

}  // namespace adr
