// Fields 5 to 8 of an address record: street and post-office box, postal code and place with
// the renewal of old postal codes, telephone and internet, bank, and the end of the row.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MapperFixture.h"
#include "adr/StagingLengths.h"

namespace {

using adr_test::MapperFixture;
using db::Value;

class Field5 : public MapperFixture {};

TEST_F(Field5, EachMarkerCutsItsSubFieldFromTheEnd) {
    map(5, "Hauptstr. 1ûPostfach-PLZ-Ort²Postfach•Tel2·Sel");
    EXPECT_EQ(column("strassenr"), Value("Hauptstr. 1"));
    EXPECT_EQ(column("PLZOrtPostfach"), Value("Postfach-PLZ-Ort"));
    EXPECT_EQ(column("Postfach"), Value("Postfach"));
    EXPECT_EQ(column("telefon2"), Value("Tel2"));
    EXPECT_EQ(column("WeitereSelektion"), Value("Sel"));
}

TEST_F(Field5, WithoutMarkersTheSubFieldsAreEmptyTexts) {
    map(5, "  Weg 1  ");
    EXPECT_EQ(column("strassenr"), Value("Weg 1"));
    for (const char* name : {"PLZOrtPostfach", "Postfach", "telefon2", "WeitereSelektion"}) {
        EXPECT_EQ(column(name), Value("")) << name;
    }
}

TEST_F(Field5, SelectionBeforeTheTelephoneSwallowsIt) {
    map(5, "Weg 1·Sel•Tel2");
    EXPECT_EQ(column("WeitereSelektion"), Value("Sel•Tel2"));
    EXPECT_EQ(column("telefon2"), Value(""));
}

struct Place {
    const char* line;
    Value plzOrt;
};

class Field6 : public MapperFixture, public ::testing::WithParamInterface<Place> {};

TEST_P(Field6, PostalCodeAndPlace) {
    map(6, GetParam().line);
    EXPECT_EQ(column("PLZOrt"), GetParam().plzOrt) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Field6,
    ::testing::Values(Place{"<RA>x</RA><PL>12345</PL><OR>Berlin</OR>", Value("12345 Berlin")},
                      Place{"<RV>y</RV><OR>Berlin</OR><PL>12345</PL>", Value("12345 Berlin")},
                      Place{"<OR>Berlin</OR>", Value("<OR>Berlin</OR> ")}, Place{" # ", Value()},
                      Place{" 12345 Berlin ", Value("12345 Berlin")}, Place{"1000 Ulm*89073", Value("89073 Ulm")},
                      Place{"1000 Ul*123", Value("1000 Ul*123")}, Place{"1000 Ulm*123", Value("123 Ulm")},
                      Place{"1000 Üx*123", Value("1000 Üx*123")}, Place{"1000 Berlin 31*10115", Value("10115 Berlin")},
                      Place{"W-1000 Berlin*10115", Value("10115 Berlin")},
                      Place{"O-8900 Görlitz*02826", Value("02826 Görlitz")},
                      Place{"5000 Köln 41*50933", Value("50933 Köln")},
                      Place{"12345678901*2", Value("12345678901*2")}));

class LongestPlace : public MapperFixture {};

TEST_F(LongestPlace, LineWithoutItsPostalCodeTagIsTheLengthTheCheckHoldsTablesTo) {
    // Taking the missing PL element takes the whole line; a blank and the empty place follow.
    map(6, "<OR>" + std::string(adr::kLineTextLimit - 4, 'O'));
    EXPECT_EQ(column("PLZOrt").text().size(), adr::kStagingMaxChars[adr::kPLZOrt]);
}

class Field7 : public MapperFixture {};

TEST_F(Field7, CutsHomepageRemarkMailAndFaxInThatOrder) {
    map(7, "0301234ÿ0305678ÿÿmail#Bemerkung*#1#web");
    EXPECT_EQ(column("telefon1"), Value("0301234"));
    EXPECT_EQ(column("telefax"), Value("0305678"));
    EXPECT_EQ(column("Email"), Value("mail"));
    EXPECT_EQ(column("Bemerkungen"), Value("Bemerkung"));
    EXPECT_EQ(column("homepage"), Value("web"));
}

TEST_F(Field7, FirstTelephoneKeepsItsBlanks) {
    map(7, " 030 1234 ");
    EXPECT_EQ(column("telefon1"), Value(" 030 1234 "));
    for (const char* name : {"telefax", "Email", "Bemerkungen", "homepage"}) EXPECT_EQ(column(name), Value("")) << name;
}

class Field8 : public MapperFixture {
protected:
    void expectBank(const char* bank, const char* ort, const char* blz, const char* konto) {
        EXPECT_EQ(column("Bank"), Value(bank));
        EXPECT_EQ(column("BankOrt"), Value(ort));
        EXPECT_EQ(column("Bankleitzahl"), Value(blz));
        EXPECT_EQ(column("KontoNummer"), Value(konto));
    }
};

TEST_F(Field8, FixedWidthColumnsCountCharacters) {
    map(4, "Meier");
    map(8, "Bank X              Berlin    10020030  4711#K1");
    EXPECT_EQ(column("Kennzeichen"), Value("K1"));
    expectBank("Bank X", "Berlin", "10020030", "4711");
}

TEST_F(Field8, UmlautsAreOneCharacterAndAllBeyondFiftyIsIgnored) {
    map(4, "Meier");
    map(8, "Sparkasse Köln-Süd  Düsseldorf37050198  123456789012345# K 2 ");
    EXPECT_EQ(column("Kennzeichen"), Value(" K 2 "));
    expectBank("Sparkasse Köln-Süd", "Düsseldorf", "37050198", "1234567890");
}

TEST_F(Field8, ShortLineLeavesTheMissingColumnsEmpty) {
    map(4, "Meier");
    map(8, "  Bank X  ");
    expectBank("Bank X", "", "", "");
}

TEST_F(Field8, TaggedBankIsTakenElementByElement) {
    map(4, "Meier");
    map(8, "<BN>Sparkasse</BN><BO>Köln</BO><BZ>37050198</BZ><KT>123</KT>#K2");
    EXPECT_EQ(column("Kennzeichen"), Value("K2"));
    expectBank("Sparkasse", "Köln", "37050198", "123");
}

TEST_F(Field8, EmptyLineAssignsNoBankColumn) {
    map(4, "Meier");
    map(8, "");
    for (const char* name : {"Bank", "BankOrt", "Bankleitzahl", "KontoNummer"})
        EXPECT_TRUE(column(name).isNull()) << name;
    EXPECT_EQ(column("Kennzeichen"), Value(""));
}

TEST_F(Field8, RowIsSavedUnlessTheSurnameIsAnEmptyText) {
    map(4, "Meier");
    map(8, "");
    rows->addNew();
    map(3, "#");
    map(4, "");
    map(8, "#leer");
    rows->addNew();
    rows->set("fremdid", 3.0);
    map(8, "#ohne");
    rows->update();
    EXPECT_EQ(stored("Kennzeichen"), (std::vector<Value>{"", "ohne"}));
    EXPECT_EQ(stored("nachname"), (std::vector<Value>{"Meier", Value()}));
}

}  // namespace
