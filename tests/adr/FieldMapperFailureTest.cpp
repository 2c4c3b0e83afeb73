// The failure rule of reader and mapper: a failing statement is reported (constraint and
// command errors pass silently) and the next statement runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "MapperFixture.h"
#include "MemoryFiles.h"
#include "adr/BatchReader.h"
#include "adr/RecordObserver.h"
#include "db/RowViewer.h"

namespace {

using db::Value;

class FailureRule : public adr_test::DatenpoolFixture {
protected:
    // A Datenpool whose staging table is made by sql instead of the database script.
    void stagingTable(const std::string& sql) { connection->runScript("DROP TABLE AdressenImport; " + sql); }
    void read(const std::string& file01A) {
        adr_test::writeAdrDirectory(dir, {{1, file01A}});
        adr::BatchReader(*connection, mapper, events).run(dir.path().string());
    }
    std::ptrdiff_t messagesNaming(const std::string& column) const {
        return std::count_if(events.messages.begin(), events.messages.end(),
                             [&](const std::string& m) { return m.find("'" + column + "'") != std::string::npos; });
    }
};

TEST_F(FailureRule, MissingColumnGivesOneMessagePerStatementAndTheRestIsStillAssigned) {
    stagingTable(
        "CREATE TABLE AdressenImport (id INTEGER PRIMARY KEY AUTOINCREMENT, fremdid FLOAT, nachname VARCHAR(10))");
    read(adr_test::adrLines({"4711*", "1#&Hallo", "Hans#Herr", "Meier", "Weg 1\x96PLZ\xFDPF\xFETel2\xFASel",
                             "12345 Berlin",
                             "030\x98"
                             "fax\x98\x98mail#Bem*#1#web",
                             "Bank#K1"}));

    // A statement that reads a missing column in a condition is one, the action it guards another.
    const std::map<std::string, std::ptrdiff_t> expected = {{"Briefanrede", 3},
                                                            {"Registergericht", 1},
                                                            {"HR2", 1},
                                                            {"anrede", 3},
                                                            {"Adresszusaetze", 1},
                                                            {"Beruf", 1},
                                                            {"GebNameVertr", 3},
                                                            {"WeitereSelektion", 1},
                                                            {"telefon2", 1},
                                                            {"Postfach", 1},
                                                            {"PLZOrtPostfach", 1},
                                                            {"strassenr", 1},
                                                            {"PLZOrt", 2},
                                                            {"homepage", 1},
                                                            {"Bemerkungen", 1},
                                                            {"Email", 1},
                                                            {"telefax", 1},
                                                            {"telefon1", 1},
                                                            {"Kennzeichen", 1},
                                                            {"Bank", 1},
                                                            {"BankOrt", 1},
                                                            {"Bankleitzahl", 1},
                                                            {"KontoNummer", 1},
                                                            {"nachname", 0},
                                                            {"fremdid", 0}};
    for (const auto& [column, count] : expected) EXPECT_EQ(messagesNaming(column), count) << column;
    EXPECT_EQ(stored("fremdid"), std::vector<Value>{4711.0});
    EXPECT_EQ(stored("nachname"), std::vector<Value>{"Meier"});
}

TEST_F(FailureRule, ColumnsAreLookedUpAgainInEveryRunsRowSet) {
    read(adr_test::adrLines({"1*", "", "Hans", "Meier", "Weg 1"}));
    // The same mapper then writes into a staging table whose columns stand in another order.
    stagingTable(
        "CREATE TABLE AdressenImport (strassenr VARCHAR(60), nachname VARCHAR(60), vorname VARCHAR(60), "
        "fremdid FLOAT, id INTEGER PRIMARY KEY AUTOINCREMENT)");
    read(adr_test::adrLines({"2*", "", "Eva", "Schulz", "Gasse 2"}));
    EXPECT_EQ(stored("nachname"), std::vector<Value>{"Schulz"});
    EXPECT_EQ(stored("vorname"), std::vector<Value>{"Eva"});
    EXPECT_EQ(stored("strassenr"), std::vector<Value>{"Gasse 2"});
    EXPECT_EQ(stored("fremdid"), std::vector<Value>{2.0});
}

TEST_F(FailureRule, TextLongerThanItsColumnIsReportedNeverCut) {
    stagingTable(
        "CREATE TABLE AdressenImport (id INTEGER PRIMARY KEY AUTOINCREMENT, fremdid FLOAT, nachname VARCHAR(10))");
    read(adr_test::adrLines({"1*", "", "", "Mustermann-Schulze", "2*", "", "", "M\x81llerhaus"}));
    EXPECT_EQ(messagesNaming("nachname"), 1);
    EXPECT_NE(std::find_if(events.messages.begin(), events.messages.end(),
                           [](const std::string& m) { return m.find("Mustermann-Schulze") != std::string::npos; }),
              events.messages.end());
    EXPECT_EQ(stored("nachname"), (std::vector<Value>{Value(), "Müllerhaus"}));
}

TEST_F(FailureRule, ConstraintViolationPassesSilentlyAndReadingGoesOn) {
    connection->runScript("CREATE UNIQUE INDEX EinmalAdressnummer ON AdressenImport (fremdid)");
    read(adr_test::adrLines({"1*", "", "", "Eins", "1*", "", "", "Doppelt", "2*", "", "", "Zwei"}));
    EXPECT_EQ(events.messages, std::vector<std::string>{});
    EXPECT_EQ(stored("nachname"), (std::vector<Value>{"Eins", "Zwei"}));
}

// What the observer learns, one text per call, in order.
struct RecordLog : adr::RecordObserver {
    void recordStarted(const std::string&, std::uint64_t line, std::optional<double>) override {
        calls.push_back("Beginn " + std::to_string(line));
    }
    void note(const std::string& text) override { calls.push_back("Hinweis " + text); }
    void recordEnded(bool saved) override { calls.push_back(saved ? "gespeichert" : "verworfen"); }
    // The texts are told apart from the calls: a record's first with its line, and how many calls
    // had been told by then.
    void lineText(const std::string& text, std::uint64_t recordLine) override {
        texts.push_back(recordLine ? std::to_string(recordLine) + " nach " + std::to_string(calls.size()) + ": " + text
                                   : text);
    }
    std::vector<std::string> calls;
    std::vector<std::string> texts;
};

// Each saved row is shown to the observer's viewer, on the writing thread, with its number,
// and the record is told that number before its end: a record ended at its line 8, and one ended
// by the end of the run. A record discarded has no row.
TEST_F(FailureRule, EachSavedRowIsViewedAndItsRecordToldItsNumber) {
    struct Viewer : db::RowViewer {
        void columnsAre(const Position& position) override {
            for (const char* column : {"nachname", "vorname", "Geburtstag", "KontoNummer", "fehlt"}) {
                at.push_back(position(column));
            }
        }
        void view(std::uint64_t n, std::span<const std::optional<db::Value>> values) noexcept override {
            std::string seen = "Zeile " + std::to_string(n) + ":";
            for (const auto& column : at) seen += " " + (column && values[*column] ? values[*column]->toText() : "-");
            const std::lock_guard lock(mutex);
            rows.push_back(seen);
        }
        std::vector<std::optional<std::size_t>> at;
        std::mutex mutex;
        std::vector<std::string> rows;
    };
    struct ViewedLog : RecordLog {
        db::RowViewer* rowViewer() override { return &viewer; }
        void rowOfRecord(std::uint64_t row) override { calls.push_back("Zeile " + std::to_string(row)); }
        Viewer viewer;
    };
    ViewedLog log;
    mapper.setObserver(&log);
    read(adr_test::adrLines({"1*",
                             "1",
                             "Hans",
                             "Meier**3.4.1950",
                             "Weg 1",
                             "12345 Ort",
                             "030 1\x98\x98"
                             "a@b.de",
                             "<BN>B</BN><BO>O</BO><BZ>10020030</BZ><KT>4711</KT>",
                             "2*",
                             "",
                             "",
                             "",
                             "",
                             "",
                             "",
                             "",
                             "3*",
                             "",
                             "Eva",
                             "Schulz"}));
    EXPECT_EQ(log.viewer.rows,
              (std::vector<std::string>{"Zeile 1: Meier Hans 1950-04-03 4711 -", "Zeile 2: Schulz Eva - - -"}));
    EXPECT_EQ(log.calls,
              (std::vector<std::string>{
                  "Beginn 1", "Zeile 1", "gespeichert", "Beginn 9", "Hinweis ohne Nachname verworfen", "verworfen",
                  "Beginn 17", "Hinweis endet mit dem Dateiende nach Zeile 4 von 8", "Zeile 2", "gespeichert"}));
}

// A refusal that passes silently (a constraint, a trigger) shows no message in the window, but
// the record's note gives the database's reason, for the report.
TEST_F(FailureRule, ASilentRefusalNamesTheDatabasesReasonInTheRecordsNote) {
    connection->runScript("CREATE UNIQUE INDEX EinmalAdressnummer ON AdressenImport (fremdid)");
    RecordLog log;
    mapper.setObserver(&log);
    read(adr_test::adrLines({"1*", "", "", "Eins", "1*", "", "", "Doppelt", "2*", "", "", "Zwei"}));
    EXPECT_EQ(events.messages, std::vector<std::string>{});
    ASSERT_EQ(log.calls.size(), 8u);
    EXPECT_EQ(log.calls[3],
              "Hinweis vom Datenpool nicht gespeichert: UNIQUE constraint failed: AdressenImport.fremdid");
    EXPECT_EQ(log.calls[4], "verworfen");
}

TEST_F(FailureRule, ARowTheDatabaseRefusesIsReportedInItsPlaceAmongTheMessages) {
    // Rows are written behind, a batch at a time: the refusal comes after the next record is read.
    connection->runScript(
        "CREATE TRIGGER zuGross BEFORE INSERT ON AdressenImport WHEN NEW.fremdid = 2 "
        "BEGIN SELECT zeroblob(2000000000); END");
    RecordLog log;
    mapper.setObserver(&log);
    read(adr_test::adrLines({"1*", "", "", "Eins", "2*", "", "", "Zwei", "3*", "", "", std::string("Dr\0ei", 5)}));
    ASSERT_EQ(log.calls.size(), 10u) << testing::PrintToString(log.calls) << testing::PrintToString(events.messages);
    EXPECT_EQ(log.calls[2], "Beginn 5");
    EXPECT_TRUE(log.calls[3].starts_with("Hinweis string or blob too big")) << log.calls[3];
    EXPECT_EQ(log.calls[4], "Hinweis vom Datenpool nicht gespeichert");
    EXPECT_EQ(log.calls[5], "verworfen") << "the refusal belongs to its own record, not to the next";
    EXPECT_EQ(log.calls[6], "Beginn 9");
    ASSERT_EQ(events.messages.size(), 2u);
    EXPECT_NE(events.messages[0].find("too big"), std::string::npos) << events.messages[0];
    EXPECT_TRUE(events.messages[0].ends_with("(Datei 01A, Zeile 9)")) << events.messages[0];
    EXPECT_EQ(events.messages[1], "Ein Nullbyte in Spalte 3 ergibt kein Zeichen (Datei 01A, Zeile 12)");
    EXPECT_EQ(stored("nachname"), (std::vector<Value>{"Eins", "Drei"}));
    // The texts do not wait for the rows: all three records' are told while the first one's end
    // still waits for its row.
    EXPECT_EQ(log.texts, (std::vector<std::string>{"1 nach 1: 1*", "", "", "Eins", "5 nach 1: 2*", "", "", "Zwei",
                                                   "9 nach 1: 3*", "", "", "Drei"}));
}

}  // namespace
