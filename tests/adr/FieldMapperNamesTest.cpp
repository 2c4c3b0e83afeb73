// Fields 2 to 4 of an address record: letter salutation, salutation word, first name,
// register, surname and person data, courts, and the salutation defaults.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MapperFixture.h"
#include "adr/Salutation.h"
#include "adr/StagingLengths.h"

namespace {

using adr_test::MapperFixture;
using db::Value;

class Field2 : public MapperFixture {};

TEST_F(Field2, CompleteSalutationWinsOverTheEndingAndIsTrimmed) {
    map(2, "3#r Herr#& Lieber Hans ");
    EXPECT_EQ(mapper.anredeNr(), 3);
    EXPECT_EQ(column("Briefanrede"), Value("Lieber Hans"));
}

TEST_F(Field2, EndingIsAppendedToSehrGeehrteUntrimmed) {
    map(2, "2# Frau Meier ");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrte Frau Meier "));
    map(2, "1#r Herr Meier,");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrter Herr Meier,"));
}

TEST_F(Field2, EndingIsTheLiteralTextAfterTheFirstHashEvenBesideAnEmptyTagPair) {
    // "<>…</>" is no marker of this field: the ending is taken as it stands.
    map(2, "1#r Herr <>Dr.</> Meier,");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrter Herr <>Dr.</> Meier,"));
    map(2, "2<>x</># Frau Meier,");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrte Frau Meier,"));
    map(2, "2# Frau Meier, # zweites Doppelkreuz");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrte Frau Meier, # zweites Doppelkreuz"));
}

TEST_F(Field2, WithoutMarkerOnlyTheNumberIsTaken) {
    map(2, "7 Kollegin");
    EXPECT_EQ(mapper.anredeNr(), 7);
    EXPECT_TRUE(column("Briefanrede").isNull());
    map(2, "x#&Hallo");
    EXPECT_EQ(mapper.anredeNr(), 0);
    map(2, "");
    EXPECT_EQ(mapper.anredeNr(), 0);
}

class Field3 : public MapperFixture {};

TEST_F(Field3, SplitsSalutationFirstNameAndRegisterAfterDroppingTagBlocks) {
    map(3, "<AD>a</AD><AB>b</AB><ED>c</ED><EB>d</EB><VO>e</VO> Hans # Herrn ûHRB 123  ü Amtsgericht Köln ");
    EXPECT_EQ(column("vorname"), Value("Hans"));
    EXPECT_EQ(column("anrede"), Value("Herrn"));
    EXPECT_EQ(column("HR2"), Value("HRB 123  "));
    EXPECT_EQ(column("Registergericht"), Value("Amtsgericht Köln"));
}

TEST_F(Field3, WithoutRegisterBothRegisterColumnsAreEmptyTexts) {
    map(3, "Hans#Frau");
    EXPECT_EQ(column("HR2"), Value(""));
    EXPECT_EQ(column("Registergericht"), Value(""));
}

TEST_F(Field3, OnlyTwoAdBlocksAreDropped) {
    map(3, "<AD>1</AD><AD>2</AD>Hans#Frau<AD>3</AD>");
    EXPECT_EQ(column("vorname"), Value("Hans"));
    EXPECT_EQ(column("anrede"), Value("Frau<AD>3</AD>"));
}

TEST_F(Field3, MarkerWordOfTheBlockRemovalCutsTheLineAlsoWithoutAnyTag) {
    map(3, "Hans QXZJQXZ Rest#Frau");
    EXPECT_EQ(column("vorname"), Value("Hans"));
    EXPECT_EQ(column("anrede"), Value(adr::defaultAnrede(0))) << "the salutation word went with the cut";
}

class Field4 : public MapperFixture {};

TEST_F(Field4, EveryPartGoesToItsOwnColumnUntrimmed) {
    map(4, "Meier * geb. Schulze ** 18.07.1942 *** Kaufmann # c/o Firma X");
    EXPECT_EQ(column("Adresszusaetze"), Value(" c/o Firma X"));
    EXPECT_EQ(column("Beruf"), Value(" Kaufmann "));
    EXPECT_EQ(column("Geburtstag"), Value(db::Date{1942, 7, 18}));
    EXPECT_EQ(column("GebNameVertr"), Value(" geb. Schulze "));
    EXPECT_EQ(column("nachname"), Value("Meier"));
    EXPECT_TRUE(events.messages.empty());
}

TEST_F(Field4, TagBlocksGoAfterTheHashAndProfessionCutsButBeforeTheStarCuts) {
    map(4, "Meier<VA>**x</VA><AK>*a</AK><GN>n</GN><AD>z</AD>*Geb");
    EXPECT_EQ(column("GebNameVertr"), Value("Geb"));
    EXPECT_EQ(column("nachname"), Value("Meier"));
    EXPECT_TRUE(column("Geburtstag").isNull());
    map(4, "Meier<GN>#x</GN>");
    EXPECT_EQ(column("Adresszusaetze"), Value("x</GN>"));
    EXPECT_EQ(column("nachname"), Value("Meier<GN>"));
}

TEST_F(Field4, BirthDateThatIsNoDateIsDroppedSilently) {
    map(4, "Meier**31.06.2000");
    EXPECT_TRUE(column("Geburtstag").isNull());
    EXPECT_EQ(column("nachname"), Value("Meier"));
    EXPECT_TRUE(events.messages.empty());
}

TEST_F(Field4, BirthNameWithAngleBracketIsShownAndMappingGoesOn) {
    map(4, "Meier*<XY>Schulze");
    EXPECT_EQ(events.messages, std::vector<std::string>{"<XY>Schulze"});
    EXPECT_EQ(column("nachname"), Value("Meier"));
}

TEST_F(Field4, EmptySurnameGetsTheSalutationFirstThenTheFirstName) {
    map(2, "1");
    map(3, "Hans#");
    map(4, "");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrter Herr ,"));
    EXPECT_EQ(column("nachname"), Value("Hans"));
    EXPECT_EQ(column("vorname"), Value(""));
}

TEST_F(Field4, DefaultSalutationOnlyWhereFieldTwoGaveNoneOrAnEmptyOne) {
    map(2, "1#&Lieber Hans");
    map(4, "Meier");
    EXPECT_EQ(column("Briefanrede"), Value("Lieber Hans"));
    map(2, "1#&  ");
    map(4, "Meier");
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrter Herr Meier,"));
}

TEST_F(Field4, LongestLetterSalutationIsTheLengthTheCheckHoldsTablesTo) {
    // Salutation 8 names the surname twice, and a surname can fill a whole line.
    map(2, "8");
    map(4, std::string(adr::kLineTextLimit, 'N'));
    EXPECT_EQ(column("Briefanrede").text().size(), adr::kStagingMaxChars[adr::kBriefanrede]);
}

struct Court {
    const char* surname;
    const char* vorname;
    const char* nachname;
};

class Courts : public MapperFixture, public ::testing::WithParamInterface<Court> {};

TEST_P(Courts, CodeAndBlankBeforeThePlaceNameTheCourt) {
    map(3, "Hans#");
    map(4, GetParam().surname);
    EXPECT_EQ(column("vorname"), Value(GetParam().vorname)) << GetParam().surname;
    EXPECT_EQ(column("nachname"), Value(GetParam().nachname)) << GetParam().surname;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Courts,
    ::testing::Values(Court{"Aû Berlin", "Amtsgericht", "Berlin"}, Court{"Lû Köln", "landgericht", "Köln"},
                      Court{"Lü Bonn", "Landgericht", "Bonn"}, Court{"F² Köln-Süd", "Finanzamt", "Köln-Süd"},
                      Court{"Aû B", "Amtsgericht", "B"}, Court{"Aû ", "Hans", "Aû"}, Court{"Aûx", "Hans", "Aûx"},
                      Court{"aû Berlin", "Hans", "aû Berlin"}, Court{"Lüdenscheidt", "Hans", "Lüdenscheidt"}));

struct Defaults {
    std::string field2;
    const char* anrede;
    const char* briefanrede;
};

class SalutationDefaults : public MapperFixture, public ::testing::WithParamInterface<Defaults> {};

TEST_P(SalutationDefaults, FollowTheSalutationNumber) {
    map(2, GetParam().field2);
    map(3, "Hans#");
    map(4, "Meier");
    EXPECT_EQ(column("anrede"), Value(GetParam().anrede)) << GetParam().field2;
    EXPECT_EQ(column("Briefanrede"), Value(GetParam().briefanrede)) << GetParam().field2;
}

INSTANTIATE_TEST_SUITE_P(Numbers, SalutationDefaults,
                         ::testing::Values(Defaults{"1", "Herrn", "Sehr geehrter Herr Meier,"},
                                           Defaults{"2", "Frau", "Sehr geehrte Frau Meier,"},
                                           Defaults{"3", "Frau", "Sehr geehrte Frau Meier,"},
                                           Defaults{"4", "Firma", "Sehr geehrte Damen und Herren,"},
                                           Defaults{"5", "Rechtsanwalt", "Sehr geehrter Herr Kollege Meier,"},
                                           Defaults{"6", "Rechtsanwälte", "Sehr geehrte Kollegen,"},
                                           Defaults{"7", "Rechtsanwältin", "Sehr geehrte Frau Kollegin Meier,"},
                                           Defaults{"8", "Herrn und Frau",
                                                    "Sehr geehrte Frau Meier, sehr geehrter Herr Meier,"},
                                           Defaults{"9", "", "Sehr geehrte Damen und Herren,"},
                                           Defaults{"0", "", "Sehr geehrte Damen und Herren,"},
                                           Defaults{"Herr", "", "Sehr geehrte Damen und Herren,"}));

TEST_F(Field2, NumberIsKeptForTheNextRecordWithoutFieldTwo) {
    map(2, "5");
    map(3, "Hans#");
    map(4, "Meier");
    rows->update();
    rows->addNew();
    map(3, "Eva#  ");
    map(4, "Schmidt");
    rows->update();
    EXPECT_EQ(column("anrede"), Value("Rechtsanwalt"));
    EXPECT_EQ(column("Briefanrede"), Value("Sehr geehrter Herr Kollege Schmidt,"));
    EXPECT_EQ(savedRows(), 2);
}

}  // namespace
