// Names compare as the registry and the database compare them: the letters of Windows-1252 are
// equal in either case, everything else only to itself.

#include <gtest/gtest.h>

#include "text/SameName.h"

namespace {

using text::foldedName;
using text::sameName;

TEST(SameName, LettersOfEitherCaseAreEqual) {
    EXPECT_TRUE(sameName("AdressenImport", "adressenimport"));
    EXPECT_TRUE(sameName("Data Source", "DATA SOURCE"));
    EXPECT_TRUE(sameName("Änderung", "äNDERUNG")) << "umlauts";
    EXPECT_TRUE(sameName("Œuvre Šeik Žár ÿ", "œUVRE šEIK žÁR Ÿ")) << "the letters of Windows-1252 beyond Latin-1";
    EXPECT_TRUE(sameName("", ""));
}

TEST(SameName, OtherCharactersEqualOnlyThemselves) {
    EXPECT_FALSE(sameName("Adresse", "Adressen")) << "a name and its prefix";
    EXPECT_FALSE(sameName("a", "\xC3\xA4")) << "a letter and its umlaut";
    EXPECT_FALSE(sameName("ß", "SS"));
    EXPECT_FALSE(sameName("[", "{")) << "ASCII signs apart from letters keep their case";
    EXPECT_FALSE(sameName("÷", "×")) << "the two signs among the Latin-1 letters";
    EXPECT_TRUE(sameName("a\xFF", "A\xFF")) << "a byte that is no UTF-8 equals itself";
    EXPECT_FALSE(sameName("a\xFE", "a\xDE")) << "and no other byte";
}

TEST(SameName, FoldedNamesAreEqualExactlyForSameNames) {
    const char* names[] = {"Änderung", "äNDERUNG", "anderung", "Ÿ", "ÿ", "a\xFF", "A\xFF", "ß", "SS", "Nummer"};
    for (const char* a : names) {
        for (const char* b : names) EXPECT_EQ(foldedName(a) == foldedName(b), sameName(a, b)) << a << " / " << b;
    }
}

}  // namespace
