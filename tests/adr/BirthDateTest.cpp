// Birth dates in field 4: which texts are dates, and which date they are.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ValuePrinter.h"
#include "adr/BirthDate.h"

namespace {

TEST(BirthDate, AcceptedFormsGiveTheirDate) {
    const std::pair<std::string, db::Date> cases[] = {
        {"18.07.1942", {1942, 7, 18}}, {"1.7.1942", {1942, 7, 1}},    {" 18.07.1942  ", {1942, 7, 18}},
        {"18.07.42", {1942, 7, 18}},   {"01.01.29", {2029, 1, 1}},    {"01.01.30", {1930, 1, 1}},
        {"1.1.00", {2000, 1, 1}},      {"31.12.99", {1999, 12, 31}},  {"29.02.2000", {2000, 2, 29}},
        {"29.02.2024", {2024, 2, 29}}, {"1942-07-18", {1942, 7, 18}}, {"18/07/1942", {1942, 7, 18}},
        {"31.01.0001", {1, 1, 31}},
    };
    for (const auto& [text, date] : cases) EXPECT_EQ(adr::recogniseBirthDate(text), date) << text;
}

TEST(BirthDate, TextsThatAreNoExistingDateAreRejected) {
    for (const char* text :
         {"29.02.1900", "29.02.2023", "31.06.2000",  "32.01.2000",  "18.13.2000",  "0.1.2000",  "18.07.",
          "18.07",      "18.07.942",  "18.07.19420", "18. 07.1942", "18.07.1942x", "",          "   ",
          "kein Datum", "1942-7-18",  "18/07/42",    "18-07-1942",  "18..1942",    "1.2.3.2000"}) {
        EXPECT_EQ(adr::recogniseBirthDate(text), std::nullopt) << text;
    }
}

}  // namespace
