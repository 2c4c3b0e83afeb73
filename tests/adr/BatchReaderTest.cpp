// The batch reader: the address files "01A" to "99A" of a directory into the staging table,
// one row per record, with line numbers that run on across files, and cancel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MapperFixture.h"
#include "MemoryFiles.h"
#include "adr/BatchReader.h"

using namespace std::string_literals;

namespace {

using adr_test::adrLines;
using db::Value;
using Values = std::vector<Value>;

class BatchRun : public adr_test::DatenpoolFixture {
protected:
    std::int32_t run(const std::map<int, std::string>& files) {
        adr_test::writeAdrDirectory(dir, files);
        return adr::BatchReader(*connection, mapper, events).run(dir.path().string());
    }
};

TEST_F(BatchRun, EmptiesTheStagingTableAndSavesEveryRecordIncludingTheLastShortOne) {
    connection->execute("INSERT INTO AdressenImport (nachname) VALUES ('alt')");
    const auto count = run({{1, adrLines({"4711*", "1#&Hallo", "Hans#", "Meier"})},
                            {2, adrLines({" 4 7 1 2*", "1", "", "Schmidt", "", "", "", "", "", "", "", "neun"})},
                            {3, adrLines({"*", "", "", "Letzter"})}});
    EXPECT_EQ(count, 3);
    EXPECT_EQ(events.lastCount, 3);
    EXPECT_EQ(events.listClears, 1);
    EXPECT_EQ(events.messages, std::vector<std::string>{});
    EXPECT_EQ(stored("fremdid"), (Values{4711.0, 4712.0, 0.0}));
    EXPECT_EQ(stored("nachname"), (Values{"Meier", "Schmidt", "Letzter"}));
    EXPECT_EQ(stored("Briefanrede"),
              (Values{"Hallo", "Sehr geehrter Herr Schmidt,", "Sehr geehrte Damen und Herren,"}));
}

TEST_F(BatchRun, MissingFilesAreReportedAndSkipped) {
    dir.write("01A", adrLines({"1*", "", "", "Eins"}));
    dir.write("99A", adrLines({"99*", "", "", "Neunundneunzig"}));
    EXPECT_EQ(adr::BatchReader(*connection, mapper, events).run(dir.path().string()), 2);
    ASSERT_EQ(events.messages.size(), 97u);
    EXPECT_NE(events.messages.front().find("02A"), std::string::npos) << events.messages.front();
    EXPECT_NE(events.messages.back().find("98A"), std::string::npos) << events.messages.back();
    EXPECT_EQ(events.files.size(), 99u);
    EXPECT_EQ(stored("nachname"), (Values{"Eins", "Neunundneunzig"}));
}

TEST_F(BatchRun, LineNumbersRunOnIntoTheNextFile) {
    run({{1, adrLines({"7*", "5", "Hans#"})}, {2, adrLines({"Meier", "Weg 1"})}});
    EXPECT_EQ(stored("nachname"), Values{"Meier"});
    EXPECT_EQ(stored("strassenr"), Values{"Weg 1"});
    EXPECT_EQ(stored("Briefanrede"), Values{"Sehr geehrter Herr Kollege Meier,"});
}

TEST_F(BatchRun, FirstLineOfTheRunStartsARecordEvenWithoutStar) {
    run({{1, adrLines({"12 Zeilen", "1#&Hallo", "", "Meier", "8*", "", "", "Acht"})}});
    EXPECT_EQ(stored("fremdid"), (Values{12.0, 8.0}));
    EXPECT_EQ(stored("Briefanrede"), (Values{"Hallo", "Sehr geehrte Damen und Herren,"}));
}

TEST_F(BatchRun, TwelveLineRecordHandsOnTwelveLinesAndLinesFromNineOnCarryNothing) {
    run({{1, adrLines({"9*", "1#&Hallo", "Hans#", "Meier", "Weg 1", "12345 Ort", "030", "Bank#K", "neun", "zehn#",
                       "elf#", "zwölf"})}});
    EXPECT_EQ(events.pumps, 12);
    EXPECT_EQ(stored("vorname"), Values{"Hans"});
    EXPECT_EQ(stored("Briefanrede"), Values{"Hallo"});
    EXPECT_EQ(stored("Kennzeichen"), Values{"K"});
}

TEST_F(BatchRun, HeaderIsJudgedOnTheLastCharacterAndEmptyLinesAreLinesToo) {
    std::string umlauts;
    for (int i = 0; i < 200; ++i) umlauts += "ü";
    run({{1, adrLines({"1*", "", "Hans#Frau", "Meier", "* ", "2*", "1", ""}) + std::string(250, '\x81') + "\r"}});
    EXPECT_EQ(stored("anrede"), (Values{"Frau", "Herrn"}));
    EXPECT_EQ(stored("strassenr"), (Values{"*", Value()}));
    EXPECT_EQ(stored("nachname"), (Values{"Meier", umlauts}));
    EXPECT_EQ(stored("Briefanrede"), (Values{"Sehr geehrte Damen und Herren,", "Sehr geehrter Herr " + umlauts + ","}));
    EXPECT_EQ(events.messages, std::vector<std::string>{}) << "a carriage return as the last byte is no failure";
}

TEST_F(BatchRun, ByteZeroIsReportedWithFileAndLineAndAddsNothing) {
    run({{4,
          "47\0"s
          "11*\r\n\r\n\r\nMei\0"s
          "er\r\n"}});
    EXPECT_EQ(stored("fremdid"), Values{4711.0});
    EXPECT_EQ(stored("nachname"), Values{"Meier"});
    ASSERT_EQ(events.messages.size(), 2u);
    EXPECT_NE(events.messages[0].find("04A"), std::string::npos) << events.messages[0];
    EXPECT_NE(events.messages[1].find("Zeile 4"), std::string::npos) << events.messages[1];
}

// Opens the real files and notes which were opened and how many are open still.
struct TrackedFiles {
    std::vector<std::string> opened;
    int open = 0;
    adr::FileOpener opener() {
        return [this](const std::string& path) -> std::unique_ptr<adr::ByteSource> {
            struct Tracked : adr::ByteSource {
                std::unique_ptr<adr::ByteSource> file;
                int& open;
                Tracked(std::unique_ptr<adr::ByteSource> f, int& o) : file(std::move(f)), open(o) { ++open; }
                ~Tracked() override { --open; }
                std::size_t read(char* buffer, std::size_t size) override { return file->read(buffer, size); }
            };
            auto file = adr::openFile(path);
            opened.push_back(path.substr(path.size() - 3));
            return std::make_unique<Tracked>(std::move(file), open);
        };
    }
};

TEST_F(BatchRun, CancelDuringTheThirdFileClosesItReadsNoMoreAndDropsTheRowBeingFilled) {
    adr_test::writeAdrDirectory(dir, {{1, adrLines({"1*", "", "", "Eins", "", "", "", ""})},
                                      {2, adrLines({"2*", "", "", "Zwei"})},
                                      {3, adrLines({"3*", "", "", "Drei", "", "33*", "", "", "Dreiunddreissig"})},
                                      {4, adrLines({"4*", "", "", "Vier"})}});
    int linesOf3 = 0;
    events.onPump = [&] {
        if (events.files.back() == 3 && ++linesOf3 == 4) events.cancel = true;
    };
    TrackedFiles files;
    const auto count = adr::BatchReader(*connection, mapper, events, files.opener()).run(dir.path().string());
    EXPECT_EQ(count, 3);
    EXPECT_EQ(files.opened, (std::vector<std::string>{"01A", "02A", "03A"}));
    EXPECT_EQ(files.open, 0);
    EXPECT_EQ(events.files, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(stored("nachname"), (Values{"Eins", "Zwei"}));
}

TEST_F(BatchRun, CountsBeyond32767RecordsWithoutOverflow) {
    std::string file;
    for (int i = 0; i < 405; ++i) file += std::to_string(i) + "*\r\n";
    connection->beginTransaction();
    const auto count = adr::BatchReader(*connection, mapper, events, [&](const std::string&) {
                           return std::make_unique<adr_test::MemorySource>(file);
                       }).run("ADR");
    connection->commit();
    EXPECT_EQ(count, 99 * 405);
    EXPECT_EQ(events.lastCount, 99 * 405);
    EXPECT_EQ(events.messages, std::vector<std::string>{});
    EXPECT_EQ(connection->execute("SELECT COUNT(*) AS n FROM AdressenImport")->value("n"),
              Value(std::int64_t{99 * 405}));
}

}  // namespace
