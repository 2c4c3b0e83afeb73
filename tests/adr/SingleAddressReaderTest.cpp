// The single-address reader: one address, found by its number in the file named after the
// number's last two digits, into the staging table.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "MapperFixture.h"
#include "MemoryFiles.h"
#include "adr/AddressFiles.h"
#include "adr/SingleAddressReader.h"

namespace {

using adr_test::adrLines;
using db::Value;
using Values = std::vector<Value>;

TEST(AddressFileName, LastTwoDigitsOfTheNumber) {
    EXPECT_EQ(adr::addressFileNameFor(745), "45A");
    EXPECT_EQ(adr::addressFileNameFor(7), "07A");
    EXPECT_EQ(adr::addressFileNameFor(300), "00A");
    EXPECT_EQ(adr::addressFileNameFor(-745), "45A");
    EXPECT_EQ(adr::addressFileNameFor(INT32_MIN), "48A");
    EXPECT_EQ(adr::addressFileName(1), "01A");
    EXPECT_EQ(adr::addressFileName(99), "99A");
}

TEST(AddressFileName, JoinedToTheDirectoryAsItIsWritten) {
    EXPECT_EQ(adr::addressFilePath("C:\\RA-MICRO\\ADR", "45A"), "C:\\RA-MICRO\\ADR\\45A");
    EXPECT_EQ(adr::firstAddressFilePath("\\\\kanzlei\\ADR"), "\\\\kanzlei\\ADR\\01A");
    EXPECT_EQ(adr::firstAddressFilePath("/srv/kanzlei/ADR"), "/srv/kanzlei/ADR/01A");
}

class SingleAddress : public adr_test::DatenpoolFixture {
protected:
    bool read(std::int32_t number) {
        return adr::readSingleAddress(*connection, mapper, events, dir.path().string(), number);
    }
};

const std::string kFile45A =
    adrLines({"645*", "1#&Erster", "", "Anderer", "745", "745*", "1#&Hallo", "Hans#", "Meier", "Weg 1", "12345 Ort",
              "030", "Bank#K", "neun", "zehn", "845*", "", "", "Dritter"});

TEST_F(SingleAddress, MapsLinesTwoToEightOfTheRecordWithThatNumber) {
    dir.write("45A", kFile45A);
    EXPECT_TRUE(read(745));
    EXPECT_EQ(events.pumps, 7);
    EXPECT_EQ(stored("fremdid"), Values{745.0});
    EXPECT_EQ(stored("Briefanrede"), Values{"Hallo"});
    EXPECT_EQ(stored("vorname"), Values{"Hans"});
    EXPECT_EQ(stored("nachname"), Values{"Meier"});
    EXPECT_EQ(stored("strassenr"), Values{"Weg 1"});
    EXPECT_EQ(stored("PLZOrt"), Values{"12345 Ort"});
    EXPECT_EQ(stored("telefon1"), Values{"030"});
    EXPECT_EQ(stored("Kennzeichen"), Values{"K"});
    EXPECT_TRUE(events.messages.empty());
}

TEST_F(SingleAddress, ShortRecordEndsAtTheNextHeader) {
    dir.write("45A", adrLines({"745*", "1", "Hans#", "Meier", "845*", "Weg 2"}));
    EXPECT_TRUE(read(745));
    EXPECT_EQ(events.pumps, 3);
    EXPECT_EQ(stored("nachname"), Values{"Meier"});
    EXPECT_EQ(stored("strassenr"), Values{Value()});
}

TEST_F(SingleAddress, NumberNotInTheFileIsReportedAndNothingWritten) {
    dir.write("45A", kFile45A);
    for (std::int32_t number : {945, 45}) EXPECT_FALSE(read(number));
    dir.write("45A", adrLines({"645*", "745"}) + "745*\r\n");
    EXPECT_FALSE(read(745)) << "a header with nothing behind it ends the file";
    EXPECT_EQ(events.messages,
              (std::vector<std::string>{"Adressnummer 945 nicht gefunden", "Adressnummer 45 nicht gefunden",
                                        "Adressnummer 745 nicht gefunden"}));
    EXPECT_TRUE(stored("fremdid").empty());
}

TEST_F(SingleAddress, MissingFileReachesTheCaller) { EXPECT_THROW(read(745), std::exception); }

TEST_F(SingleAddress, RowWithTheSameAddressNumberIsUpdatedInPlaceAndOthersStay) {
    connection->execute(
        "INSERT INTO AdressenImport (id, fremdid, nachname, vorname, Bemerkungen) "
        "VALUES (3, 745, 'Alt', 'Alt', 'bleibt'), (745, 1, 'Fremd', 'Fremd', 'fremd')");
    dir.write("45A", kFile45A);
    EXPECT_TRUE(read(745));
    EXPECT_EQ(stored("fremdid"), (Values{745.0, 1.0}));
    EXPECT_EQ(stored("nachname"), (Values{"Meier", "Fremd"}));
    EXPECT_EQ(stored("vorname"), (Values{"Hans", "Fremd"}));
    EXPECT_EQ(stored("Bemerkungen"), (Values{"", "fremd"}));
}

TEST_F(SingleAddress, WithoutSuchARowOneIsAdded) {
    connection->execute("INSERT INTO AdressenImport (id, fremdid, nachname) VALUES (745, 1, 'Fremd')");
    dir.write("45A", adrLines({"745*", "", "", "Meier"}));
    EXPECT_TRUE(read(745));
    EXPECT_EQ(stored("fremdid"), (Values{1.0, 745.0}));
    EXPECT_EQ(stored("nachname"), (Values{"Fremd", "Meier"}));
}

}  // namespace
