// The leading number of a text, as a numeric parse of a line's start reads it.

#include <gtest/gtest.h>

#include <string>

#include "text/LeadingNumber.h"

namespace {

TEST(LeadingNumber, TakesDigitsSignPointAndExponentUpToTheFirstOtherCharacter) {
    const std::pair<std::string, double> cases[] = {
        {"4711*", 4711},
        {" 4 7 1 1*", 4711},
        {"*", 0},
        {"", 0},
        {"abc12", 0},
        {"-12.5*", -12.5},
        {"- 3", -3},
        {"+7x", 7},
        {".5", 0.5},
        {"1.2.3", 1.2},
        {"1E3*", 1000},
        {"2d2", 200},
        {"1e 2", 100},
        {"5e-1", 0.5},
        {"3e*", 3},
        {"e5", 0},
        {"12ü3", 12},
        {"0012", 12},
        {"1e-400", 0},
        {"7=8", 7},
        {"4711", 4711},
        {"47 11*", 4711},
        {"12\t3", 123},
        {"4d1", 40},
        {"000", 0},
        {"123456789012345*", 123456789012345},
        {"1234567890123456*", 1234567890123456},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(text::leadingNumber(line), value) << line;
}

TEST(LeadingNumber, ManyDigitsKeepTheirMagnitudeAndTooLargeOverflows) {
    EXPECT_DOUBLE_EQ(text::leadingNumber("1" + std::string(300, '0') + "*"), 1e300);
    EXPECT_DOUBLE_EQ(text::leadingNumber("0." + std::string(1000, '0') + "1e1010"), 1e9);
    EXPECT_THROW(text::leadingNumber("1" + std::string(400, '0')), text::NumberOverflow);
    EXPECT_THROW(text::leadingNumber("1e400"), text::NumberOverflow);
}

}  // namespace
