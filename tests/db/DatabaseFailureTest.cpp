// The database stops taking rows in the middle of a conversion (here: its file may not grow any
// more, as on a full disk). The database's own error is reported, nothing of the run is kept
// or counted, the Datenpool holds what it held before, and the program goes on.

#include <gtest/gtest.h>

#include <filesystem>

#include "adr/FieldMapper.h"
#include "app/Conversion.h"
#include "db/Backends.h"
#include "db/Error.h"
#include "db/GetField.h"
#include "support/RecordingEvents.h"

namespace {

const std::string kSample = std::string(ACCEPTANCE_DIR) + "/random500/ADR";

class DatabaseFailure : public db_tests::DatenpoolTest {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSample)) GTEST_SKIP() << "no acceptance sample at " << kSample;
        DatenpoolTest::SetUp();
        stage({"Vorher", "Davor"});
    }
    std::vector<std::string> surnames() {
        std::vector<std::string> names;
        for (auto rows = connection->execute("SELECT nachname FROM AdressenImport ORDER BY id"); !rows->atEnd();
             rows->moveNext()) {
            names.push_back(rows->value(0).toText());
        }
        return names;
    }
    // Runs the conversion; answers why it failed, none when it completed.
    std::optional<std::string> convert(std::vector<std::string>& listed) {
        adr::FieldMapper mapper(events);
        const auto outcome = app::convertDirectory(*connection, mapper, events, kSample, [&](const std::string& line) {
            listed.push_back(line);
            return true;
        });
        if (outcome.ending != app::ConversionOutcome::Ending::failed) return std::nullopt;
        return outcome.failure;
    }

    testing_support::RecordingEvents events;
};

TEST_P(DatabaseFailure, FullDatabaseEndsTheRunWithNothingKeptAndTheConnectionGoesOn) {
    const db::Value pages = connection->execute("PRAGMA page_count")->value(0);
    ASSERT_TRUE(pages.isInteger());
    connection->execute("PRAGMA max_page_count = " + std::to_string(pages.integer() + 4));

    std::vector<std::string> listed;
    const auto failure = convert(listed);
    ASSERT_TRUE(failure.has_value()) << "the run passed for a success";
    EXPECT_NE(failure->find("ließen sich nicht speichern"), std::string::npos) << *failure;
    EXPECT_TRUE(listed.empty()) << "no row listed as converted";
    const bool full = std::any_of(events.messages.begin(), events.messages.end(), [](const std::string& m) {
        return m.find("database or disk is full") != std::string::npos;
    });
    EXPECT_TRUE(full) << "the database's own error is shown";
    EXPECT_EQ(surnames(), (std::vector<std::string>{"Vorher", "Davor"})) << "the staging table as before the run";

    // The program goes on: the connection answers, and with room again the next run succeeds.
    std::vector<std::string> shown;
    const auto count = db::GetField(*connection, "COUNT(*) FROM AdressenImport", db::Value(0), std::nullopt,
                                    [&](const std::string& text) { shown.push_back(text); });
    EXPECT_EQ(std::get<db::Value>(count), db::Value(2));
    EXPECT_TRUE(shown.empty());
    connection->execute("PRAGMA max_page_count = 1073741823");
    events.messages.clear();
    const auto second = convert(listed);
    EXPECT_FALSE(second.has_value()) << *second;
    EXPECT_EQ(listed.size(), 492u);
    EXPECT_EQ(DatenpoolTest::count("AdressenImport"), 492);
}

TEST_P(DatabaseFailure, ReplacedDatenpoolFileTakesNothingAndNothingIsListed) {
    const std::string replacement = dir.file("neu.db");
    db::SqliteConnection::create(replacement);
    std::error_code failed;
    std::filesystem::rename(replacement, file(), failed);
    if (failed) GTEST_SKIP() << "the open Datenpool cannot be replaced here (Windows keeps it): " << failed.message();

    std::vector<std::string> listed;
    const auto failure = convert(listed);
    ASSERT_TRUE(failure.has_value()) << "the run passed for a success";
    EXPECT_FALSE(failure->empty()) << "the reason is told";
    EXPECT_TRUE(listed.empty()) << "rows of the replaced file listed as converted";
    const auto now = db::SqliteConnection::open(file());
    EXPECT_TRUE(now->execute("AdressenImport")->atEnd()) << "nothing written into the file that is there now";
}

TEST_P(DatabaseFailure, StagingTableThatCannotBeEmptiedEndsTheRunWithItsRowsAlone) {
    // As a login without ALTER on the table meets it; the refusal comes as a constraint here,
    // one of the two codes that a conversion passes over elsewhere.
    connection->execute(
        "CREATE TRIGGER Unleerbar BEFORE DELETE ON AdressenImport "
        "BEGIN SELECT RAISE(ABORT, 'Keine Berechtigung zum Leeren'); END");

    std::vector<std::string> listed;
    const auto failure = convert(listed);
    ASSERT_TRUE(failure.has_value()) << "the run passed for a success";
    const std::string description = *failure;
    EXPECT_NE(description.find("AdressenImport ließ sich nicht leeren"), std::string::npos) << description;
    EXPECT_NE(description.find("Keine Berechtigung zum Leeren"), std::string::npos)
        << "the database's own text: " << description;
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(surnames(), (std::vector<std::string>{"Vorher", "Davor"})) << "no converted row joined the old ones";
    EXPECT_NO_THROW(connection->execute("SELECT 1")) << "the connection goes on";
}

TEST_P(DatabaseFailure, MissingStagingTableIsNamedAndTheScriptThatCreatesIt) {
    connection->execute("DROP TABLE AdressenImport");

    std::vector<std::string> listed;
    const auto failure = convert(listed);
    ASSERT_TRUE(failure.has_value()) << "the run passed for a success";
    EXPECT_NE(failure->find("Im Datenpool fehlt die Tabelle AdressenImport; das Datenbankskript legt sie an. ("),
              std::string::npos)
        << *failure;
    EXPECT_NE(failure->find("no such table: AdressenImport"), std::string::npos) << "the database's own text";
    EXPECT_TRUE(listed.empty());
}

TEST_P(DatabaseFailure, MissingTableIsNamedWhereverAStatementMeetsIt) {
    connection->execute("DROP TABLE Adressen");
    const std::string missing = "Im Datenpool fehlt die Tabelle Adressen; das Datenbankskript legt sie an.";
    // A statement, the bare name and the name with a condition, which reach the database as a
    // statement it cannot read: each followed by the database's own text.
    for (const char* named : {"SELECT MAX (id) FROM Adressen", "Adressen", "Adressen WHERE id = 1"}) {
        try {
            connection->execute(named);
            FAIL() << "a missing table was read: " << named;
        } catch (const db::Error& error) {
            const std::string description = error.description();
            EXPECT_EQ(description.rfind(missing + " (", 0), 0u) << description;
            EXPECT_GT(description.size(), missing.size() + 3) << description;
        }
    }
    try {
        connection->openForWriting("Adressen");
        FAIL() << "a missing table was opened";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.description(), missing);
    }
}

INSTANTIATE_FOR_BOTH_BACKENDS(DatabaseFailure);

}  // namespace
