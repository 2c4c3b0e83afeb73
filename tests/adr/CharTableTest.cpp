// The byte table of the ADR reader: what each byte of an address file stands for.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "adr/CharTable.h"
#include "text/Characters.h"
#include "text/Unicode.h"

namespace {

const adr::CharTable& table = adr::zeichentabelle();

TEST(CharTable, ListedBytesGiveTheirCharacters) {
    const std::pair<unsigned char, std::string> expected[] = {
        {0x81, "ü"}, {0x84, "ä"}, {0x94, "ö"}, {0x8E, "Ä"}, {0x99, "Ö"},   {0x9A, "Ü"}, {0xE1, "ß"}, {34, "'"},
        {39, "\""},  {'A', "A"},  {'*', "*"},  {' ', " "},  {127, "\x7F"}, {128, "Ç"},  {150, "û"},  {152, "ÿ"},
        {155, "¢"},  {159, "ƒ"},  {175, "»"},  {158, "ž"},  {167, "°"},    {169, "©"},  {176, "°"},  {177, "\x7F"},
        {179, "|"},  {225, "ß"},  {230, "µ"},  {241, "±"},  {248, "º"},    {249, "·"},  {250, "·"},  {253, "²"},
        {254, "•"},  {200, "È"},  {252, "ü"},  {255, "ÿ"},
    };
    for (const auto& [byte, character] : expected) EXPECT_EQ(table.character(byte), character) << "byte " << int{byte};
}

TEST(CharTable, ControlBytesGiveAnEqualsSignAndByteZeroNothing) {
    for (unsigned char b = 1; b < 32; ++b) {
        if (b == 13) continue;
        EXPECT_EQ(table.character(b), "=") << "byte " << int{b};
    }
    EXPECT_EQ(table.character(0), "");
}

// The report takes the lines so read as UTF-8 without checking them again.
TEST(CharTable, EveryOtherByteGivesExactlyOneCharacterOfUtf8) {
    for (unsigned b = 1; b < 256; ++b) {
        const std::string_view character = table.character(static_cast<unsigned char>(b));
        EXPECT_EQ(text::charCount(character), 1u) << "byte " << b;
        EXPECT_TRUE(text::isUtf8(character)) << "byte " << b;
    }
}

}  // namespace
