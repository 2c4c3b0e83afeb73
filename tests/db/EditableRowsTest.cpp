// Writing rows through the editable row set of both backends.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <numeric>
#include <span>
#include <thread>

#include "db/Backends.h"
#include "db/Error.h"
#include "db/EveryStep.h"
#include "db/Names.h"
#include "db/RowOutcomes.h"
#include "db/WriteBehind.h"

namespace {

// Records what a row set writing behind tells, and that it tells it as promised: on the thread
// that saves the rows, each row once and in order, never before the row was saved.
struct ToldOutcomes : db::RowOutcomes {
    std::thread::id saver = std::this_thread::get_id();
    std::uint64_t saved = 0;
    std::uint64_t written = 0;
    std::vector<std::uint64_t> failed;
    void rowSaved(std::uint64_t n) override {
        EXPECT_EQ(std::this_thread::get_id(), saver);
        EXPECT_EQ(n, saved + 1);
        saved = n;
    }
    void rowWritten(std::uint64_t n, std::exception_ptr failure) override {
        EXPECT_EQ(std::this_thread::get_id(), saver);
        EXPECT_EQ(n, written + 1) << "each row once, in order";
        EXPECT_LE(n, saved);
        written = n;
        if (!failure) return;
        failed.push_back(n);
        EXPECT_THROW(std::rethrow_exception(failure), db::Error);
    }
};

using db_tests::Backend;

class EditableRows : public db_tests::DatenpoolTest {
protected:
    std::int64_t count() { return DatenpoolTest::count("AdressenImport"); }
};

TEST_P(EditableRows, NewRowReadsBackWhatWasAssignedAndNullOtherwise) {
    auto rows = connection->openForWriting("AdressenImport");
    EXPECT_TRUE(rows->atEnd());
    rows->addNew();
    EXPECT_FALSE(rows->atEnd());
    rows->set("NACHNAME", "Müller");
    EXPECT_EQ(rows->get("nachname"), db::Value("Müller"));
    EXPECT_TRUE(rows->get("vorname").isNull());
    rows->update();
    EXPECT_EQ(rows->get("nachname"), db::Value("Müller")) << "a saved row still reads back";
    rows->close();
    auto stored = connection->execute("AdressenImport");
    EXPECT_EQ(stored->value("nachname"), db::Value("Müller"));
    EXPECT_TRUE(stored->value("vorname").isNull());
}

TEST_P(EditableRows, ValuesKeepTheirKind) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("fremdid", 4711.0);
    rows->set("Geburtstag", db::Date{1942, 7, 18});
    rows->set("telefon1", "  ");
    rows->set("telefon2", "");
    rows->update();
    rows->close();
    auto stored = connection->execute("AdressenImport");
    EXPECT_EQ(stored->value("fremdid"), db::Value(4711.0));
    EXPECT_EQ(stored->value("Geburtstag"), db::Value("1942-07-18"));
    EXPECT_EQ(stored->value("telefon1"), db::Value("  "));
    EXPECT_EQ(stored->value("telefon2"), db::Value("")) << "an empty text is no null";
}

TEST_P(EditableRows, CancelledNewRowIsNeverWrittenAndUpdateWithoutChangesDoesNothing) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Erster");
    rows->update();
    rows->update();
    rows->addNew();
    rows->set("nachname", "");
    rows->cancelUpdate();
    EXPECT_FALSE(rows->atEnd()) << "back on the row saved before";
    rows->update();
    rows->close();
    EXPECT_EQ(count(), 1);
}

TEST_P(EditableRows, AddNewSavesThePendingRowFirst) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Eins");
    rows->addNew();
    rows->set("nachname", "Zwei");
    rows->update();
    rows->close();
    EXPECT_EQ(count(), 2);
}

TEST_P(EditableRows, SavedRowTakesLaterAssignments) {
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "Eins");
    rows->update();
    rows->set("vorname", "später");
    rows->update();
    rows->close();
    auto stored = connection->execute("AdressenImport");
    EXPECT_EQ(stored->value("nachname"), db::Value("Eins"));
    EXPECT_EQ(stored->value("vorname"), db::Value("später"));
}

TEST_P(EditableRows, SelectedRowIsEditedInPlace) {
    {
        auto rows = connection->openForWriting("AdressenImport");
        for (double id : {7.0, 8.0}) {
            rows->addNew();
            rows->set("fremdid", id);
            rows->set("nachname", "alt");
            rows->set("vorname", "bleibt");
            rows->update();
        }
        rows->close();
    }
    auto selected = connection->openForWriting("AdressenImport WHERE fremdid=8");
    ASSERT_FALSE(selected->atEnd());
    EXPECT_EQ(selected->get("vorname"), db::Value("bleibt"));
    selected->set("nachname", "neu");
    selected->update();
    EXPECT_EQ(count(), 2);
    auto rows = connection->execute("SELECT nachname, vorname FROM AdressenImport ORDER BY id");
    EXPECT_EQ(rows->value("nachname"), db::Value("alt"));
    rows->moveNext();
    EXPECT_EQ(rows->value("nachname"), db::Value("neu"));
    EXPECT_EQ(rows->value("vorname"), db::Value("bleibt"));

    auto none = connection->openForWriting("AdressenImport WHERE fremdid=9");
    EXPECT_TRUE(none->atEnd());
}

TEST_P(EditableRows, ColumnLookedUpOnceWritesWhereItsNameDoesAndAMissingOneFailsAtEveryUse) {
    auto rows = connection->openForWriting("AdressenImport");
    const db::Column nachname = rows->column("NachName");
    const db::Column missing = rows->column("gibtsnicht");
    rows->addNew();
    rows->set(nachname, "Erster");
    EXPECT_EQ(rows->get("nachname"), db::Value("Erster"));
    rows->update();
    rows->addNew();
    rows->set(nachname, "Zweiter");
    EXPECT_EQ(rows->get(nachname), db::Value("Zweiter"));
    for (int use = 0; use < 2; ++use) {
        EXPECT_THROW(rows->set(missing, "x"), db::Error) << use;
        EXPECT_THROW(rows->get(missing), db::Error) << use;
    }
    rows->update();
    rows->close();
    EXPECT_EQ(count(), 2);
}

TEST_P(EditableRows, NoTwoRowSetsShareAnIdentity) {
    const std::uint64_t first = connection->openForWriting("AdressenImport")->identity();
    // Made after the first was destroyed, perhaps where it stood.
    const std::uint64_t second = connection->openForWriting("AdressenImport")->identity();
    EXPECT_NE(first, second);
}

TEST_P(EditableRows, UnknownColumnAndOverlongTextAreRefusedNeverCut) {
    connection->execute("CREATE TABLE Kurz (id INTEGER PRIMARY KEY, name VARCHAR(5))");
    auto rows = connection->openForWriting("Kurz");
    rows->addNew();
    try {
        rows->set("gibtsnicht", "x");
        FAIL();
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kItemNotFound);
        EXPECT_NE(std::string(error.description()).find("gibtsnicht"), std::string::npos);
        EXPECT_STREQ(error.description(), "Das Feld 'gibtsnicht' fehlt in der Tabelle 'Kurz'.");
    }
    rows->set("name", "Äöüß!");  // five characters, ten bytes
    try {
        rows->set("name", "Müller");
        FAIL();
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kErrorsOccurred);
        EXPECT_FALSE(db::isSilent(error.code()));
        EXPECT_NE(std::string(error.description()).find("höchstens 5 Zeichen"), std::string::npos);
        EXPECT_STREQ(error.description(),
                     "Der Text für das Feld 'name' ist 6 Zeichen lang; das Feld fasst höchstens 5 Zeichen: Müller");
    }
    rows->update();
    rows->close();
    EXPECT_EQ(connection->execute("Kurz")->value("name"), db::Value("Äöüß!"));
}

TEST_P(EditableRows, EverySpellingOfATextLengthIsHeld) {
    connection->execute(
        "CREATE TABLE Laengen (id INTEGER PRIMARY KEY, a nvarchar ( 3 ), b CHARACTER(3), c nchar(3), "
        "d Text, e varchar)");
    auto rows = connection->openForWriting("Laengen");
    rows->addNew();
    for (const char* column : {"a", "b", "c"}) {
        EXPECT_THROW(rows->set(column, "vier"), db::Error) << column;
        EXPECT_NO_THROW(rows->set(column, "drü")) << column;
    }
    for (const char* column : {"d", "e"}) EXPECT_NO_THROW(rows->set(column, std::string(300, 'x'))) << column;
}

// Runs a step; a failure is kept instead of thrown.
void attempt(std::vector<db::Error>& failures, const std::function<void()>& step) {
    try {
        step();
    } catch (const db::Error& error) {
        failures.push_back(error);
    }
}

TEST_P(EditableRows, FailedSaveIsReportedOnceAndTheNextRowIsClean) {
    connection->execute("CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, name TEXT NOT NULL, ort TEXT)");
    auto rows = connection->openForWriting("Pflicht");
    std::vector<db::Error> failures;
    rows->addNew();
    rows->set("ort", "Berlin");
    attempt(failures, [&] { rows->update(); });
    rows->addNew();
    rows->set("name", "Zweite");
    attempt(failures, [&] { rows->update(); });
    attempt(failures, [&] { rows->close(); });  // a backend that holds rows back reports here
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures.front().code(), db::kIntegrityViolation);
    EXPECT_EQ(DatenpoolTest::count("Pflicht"), 1);
    auto stored = connection->execute("Pflicht");
    EXPECT_EQ(stored->value("name"), db::Value("Zweite"));
    EXPECT_TRUE(stored->value("ort").isNull()) << "the failed row's values must not leak into the next";
}

TEST_P(EditableRows, SourceThatNamesNoTableIsAnError) {
    EXPECT_THROW(connection->openForWriting("GibtsNicht"), db::Error);
    EXPECT_THROW(connection->openForWriting("SELECT 1"), db::Error);
}

TEST_P(EditableRows, TransactionKeepsOrDropsTheRows) {
    connection->beginTransaction();
    auto rows = connection->openForWriting("AdressenImport");
    rows->addNew();
    rows->set("nachname", "verworfen");
    rows->update();
    connection->rollback();
    EXPECT_EQ(count(), 0);
    connection->beginTransaction();
    rows->addNew();
    rows->set("nachname", "bleibt");
    rows->update();
    connection->commit();
    EXPECT_EQ(count(), 1);
    rows->close();
    EXPECT_EQ(count(), 1) << "nothing of the rolled-back transaction comes back";
}

TEST_P(EditableRows, ImportLockKeepsEveryOtherWriterOutUntilTheTransactionEnds) {
    auto other = db::SqliteConnection::open(file());
    other->runScript("PRAGMA busy_timeout = 0");
    connection->beginTransaction(db::Isolation::serializable);
    connection->lockImports();
    EXPECT_THROW(other->beginTransaction(), db::Error) << "a second import would not wait for the first";
    connection->rollback();
    other->beginTransaction();
    other->rollback();
    EXPECT_THROW(connection->lockImports(), db::Error) << "a lock outside a transaction would be let go at once";
    EXPECT_EQ(other->identity(), std::filesystem::absolute(file()).lexically_normal().string());
#ifndef _WIN32
    // Both ways to the same file name the same Datenpool, as a recorded import compares them.
    // (Under Wine the ODBC driver is the host's, which names the file by its host path.)
    EXPECT_EQ(connection->identity(), other->identity());
#endif
}

INSTANTIATE_FOR_BOTH_BACKENDS(EditableRows);

TEST(TransactionEnd, EveryStepRunsAfterAFailureAndTheFirstFailureIsTold) {
    std::vector<std::string> ran;
    try {
        db::everyStep(
            [&] {
                ran.push_back("autocommit");
                throw db::Error(1, "Autocommit verweigert");
            },
            [&] {
                ran.push_back("isolation");
                throw db::Error(2, "Isolation verweigert");
            },
            [&] { ran.push_back("danach"); });
        ADD_FAILURE() << "a failed step is not told";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), 1);
        EXPECT_STREQ(error.description(), "Autocommit verweigert");
    }
    EXPECT_EQ(ran, (std::vector<std::string>{"autocommit", "isolation", "danach"}))
        << "the isolation is put back even where the switch to autocommit failed";
    EXPECT_NO_THROW(db::everyStep([&] { ran.push_back("allein"); }));
    EXPECT_EQ(ran.back(), "allein");
}

TEST(ColumnNames, AreFoundInEitherCaseUmlautsAmongThem) {
    const db::NameIndex index({"id", "Änderung", "nachname", "NACHNAME"});
    EXPECT_EQ(index.find("ID"), 0u);
    EXPECT_EQ(index.find("äNDERUNG"), 1u) << "the same hash for both cases of a letter beyond ASCII";
    EXPECT_EQ(index.find("Nachname"), 2u) << "the first of equal names";
    EXPECT_EQ(index.find("anderung"), std::nullopt);
    EXPECT_EQ(index.find("nachnam"), std::nullopt);
}

TEST_P(EditableRows, RowSavedBeforeWritingBehindBeganTellsItsFailureItself) {
    connection->execute("CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, name TEXT NOT NULL)");
    auto rows = connection->openForWriting("Pflicht");
    rows->addNew();
    rows->set("id", std::int64_t{1});  // no name: refused
    int told = 0;
    try {
        rows->update();
    } catch (const db::Error&) {
        ++told;
    }
    ToldOutcomes outcomes;
    EXPECT_NO_THROW(rows->writeBehind(outcomes)) << "asking to write behind writes nothing that could fail";
    try {
        rows->close();
    } catch (const db::Error&) {
        ++told;
    }
    EXPECT_EQ(told, 1);
    EXPECT_EQ(DatenpoolTest::count("Pflicht"), 0);
}

TEST_P(EditableRows, RowsWrittenBehindLandInOrderAndEachFailureIsToldForItsRow) {
    // FAIL keeps the rows a statement inserted before the one that failed.
    connection->execute(
        "CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, name TEXT NOT NULL ON CONFLICT FAIL, nummer INTEGER, "
        "ort TEXT DEFAULT 'unbekannt', bemerkung TEXT)");
    connection->beginTransaction();
    auto rows = connection->openForWriting("Pflicht");
    ToldOutcomes told;
    ASSERT_TRUE(rows->writeBehind(told));
    // More rows than wait at once, so that handing on waits for room as well.
    for (int i = 1; i <= 1000; ++i) {
        rows->addNew();
        if (i % 300 != 0) rows->set("name", "Zeile " + std::to_string(i));
        rows->set("nummer", std::int64_t{i});
        if (i % 7 == 0 || i > 500) rows->set("ort", "Ort " + std::to_string(i));
        rows->update();
        EXPECT_TRUE(rows->get("nummer").isNull()) << "a row handed on holds nothing";
    }
    EXPECT_EQ(told.saved, 1000u);
    rows->settle(true);
    EXPECT_EQ(told.written, 1000u);
    EXPECT_EQ(told.failed, (std::vector<std::uint64_t>{300, 600, 900}));
    rows->close();
    connection->commit();
    auto stored = connection->execute("SELECT * FROM Pflicht ORDER BY id");
    std::int64_t expected = 0;
    for (; !stored->atEnd(); stored->moveNext()) {
        if (++expected % 300 == 0) ++expected;
        ASSERT_EQ(stored->value("nummer"), db::Value(expected));
        EXPECT_EQ(stored->value("name"), db::Value("Zeile " + std::to_string(expected)));
        const bool withOrt = expected % 7 == 0 || expected > 500;
        EXPECT_EQ(stored->value("ort"), db::Value(withOrt ? "Ort " + std::to_string(expected) : "unbekannt"));
        EXPECT_TRUE(stored->value("bemerkung").isNull());
    }
    EXPECT_EQ(expected, 1000);
}

TEST(Values, DatesAreWrittenAsIsoTextWithTheirFullWidth) {
    EXPECT_EQ(db::formatIsoDate({1942, 7, 18}), "1942-07-18");
    EXPECT_EQ(db::formatIsoDate({5, 1, 2}), "0005-01-02");
    EXPECT_EQ(db::formatIsoDate({2024, 12, 31}), "2024-12-31");
    EXPECT_EQ(db::formatIsoDate({12345, 1, 1}), "12345-01-01");
    EXPECT_EQ(db::formatIsoDate({-1, 1, 100}), "-001-01-100");
}

TEST(Values, NumbersAreWrittenWithFifteenSignificantDigits) {
    const auto text = [](double number) { return db::Value(number).toText(); };
    EXPECT_EQ(text(4711), "4711");
    EXPECT_EQ(text(-12), "-12");
    EXPECT_EQ(text(0), "0");
    EXPECT_EQ(text(-0.0), "-0");
    EXPECT_EQ(text(999999999999999), "999999999999999");
    EXPECT_EQ(text(1e15), "1e+15");
    EXPECT_EQ(text(12.5), "12.5");
    EXPECT_EQ(text(0.1 + 0.2), "0.3");
}

TEST(WriteBehind, WritesWholeBatchesTheRestWhenAskedOrAtTheEndAndTellsEachRowsFailure) {
    std::vector<std::vector<std::int64_t>> batches;
    const auto row = [](std::int64_t n) { return db::WriteBehind::Values{db::Value(n)}; };
    const auto write = [&](std::span<const db::WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
        batches.emplace_back();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            batches.back().push_back(rows[i][0]->integer());
            if (rows[i][0]->integer() % 4 == 0) failures[i] = std::make_exception_ptr(db::Error(1, "vier"));
        }
    };
    ToldOutcomes told;
    {
        db::WriteBehind behind(write, told, 3, 6, 1000);
        for (std::int64_t n = 1; n <= 10; ++n) behind.handOn(row(n));
        EXPECT_EQ(told.saved, 10u);
        behind.tell(true);
        EXPECT_EQ(told.written, 10u) << "the rest, less than a batch, is written when asked for";
        EXPECT_EQ(told.failed, (std::vector<std::uint64_t>{4, 8}));
        // After the rest, more rows than may wait: the batches start anew behind it (counted
        // from the first row, the thread, waiting for a whole batch, and the caller, waiting
        // for room, waited for each other).
        for (std::int64_t n = 11; n <= 30; ++n) behind.handOn(row(n));
    }
    std::vector<std::int64_t> written;
    for (const auto& batch : batches) {
        EXPECT_TRUE(batch.size() == 3 || batch.back() == 10 || batch.back() == 30)
            << "a batch cut short before the rest was asked for, or before the end";
        written.insert(written.end(), batch.begin(), batch.end());
    }
    std::vector<std::int64_t> all(30);
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(written, all) << "the last ones at the end";
}

TEST(WriteBehind, TheThreadAndTheCallerTakeTurnsAndTheRowsKeepTheirOrder) {
    std::vector<std::int64_t> written;
    std::vector<std::thread::id> writers;
    const auto write = [&](std::span<const db::WriteBehind::Values> rows, std::span<std::exception_ptr> failures) {
        writers.push_back(std::this_thread::get_id());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            written.push_back(rows[i][0]->integer());
            if (written.back() % 100 == 0) failures[i] = std::make_exception_ptr(db::Error(1, "hundert"));
        }
    };
    ToldOutcomes told;
    {
        // A stretch of one batch: after the first two the caller is tried, and so on.
        db::WriteBehind behind(write, told, 4, 8, 1);
        for (std::int64_t n = 1; n <= 1001; ++n) behind.handOn({db::Value(n)});
        EXPECT_GT(told.written, 0u) << "handing on tells what is written by then";
        behind.tell(true);
    }
    EXPECT_EQ(told.written, 1001u);
    EXPECT_EQ(told.failed, (std::vector<std::uint64_t>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000}));
    ASSERT_EQ(written.size(), 1001u);
    for (std::size_t i = 0; i < written.size(); ++i) ASSERT_EQ(written[i], static_cast<std::int64_t>(i) + 1);
    EXPECT_NE(std::count(writers.begin(), writers.end(), std::this_thread::get_id()), 0) << "the caller wrote";
    EXPECT_NE(std::count_if(writers.begin(), writers.end(), [](auto id) { return id != std::this_thread::get_id(); }),
              0)
        << "the thread wrote";
}

TEST(FasterOfTwo, TriesTheOtherWayNowAndThenAndSwitchesWhenItBeatsTheBestOfTheRun) {
    using std::chrono::milliseconds;
    db::FasterOfTwo faster(3);
    EXPECT_EQ(faster.next(milliseconds(6)), 0);
    EXPECT_EQ(faster.next(milliseconds(12)), 1) << "after the first two stretches the other way is tried";
    EXPECT_EQ(faster.next(milliseconds(7)), 0) << "7 ms does not beat the run's best of 6";
    EXPECT_EQ(faster.next(milliseconds(10)), 0);
    EXPECT_EQ(faster.next(milliseconds(10)), 0);
    EXPECT_EQ(faster.next(milliseconds(10)), 1);
    EXPECT_EQ(faster.next(milliseconds(8)), 1) << "8 ms beats this run's best of 10";
    EXPECT_EQ(faster.next(milliseconds(8)), 0) << "the way that took over is tried against after one stretch";
    EXPECT_EQ(faster.next(milliseconds(9)), 1) << "the trial loses";
    EXPECT_EQ(faster.next(milliseconds(8)), 1);
    EXPECT_EQ(faster.next(milliseconds(8)), 0) << "its run doubled to two";

    // A trial that beats the best by less than an eighth does not take over: a stretch's time
    // varies by that much anyway.
    db::FasterOfTwo closeCall(2);
    EXPECT_EQ(closeCall.next(milliseconds(16)), 0);
    EXPECT_EQ(closeCall.next(milliseconds(16)), 1);
    EXPECT_EQ(closeCall.next(milliseconds(15)), 0) << "15 ms is within an eighth of 16";
    EXPECT_EQ(closeCall.next(milliseconds(16)), 0);
    EXPECT_EQ(closeCall.next(milliseconds(16)), 1);
    EXPECT_EQ(closeCall.next(milliseconds(13)), 1) << "13 ms is not";

    // Each trial the way in use wins doubles its run, up to the longest; a lost one starts anew.
    db::FasterOfTwo backingOff(2, 5);
    const auto runBeforeTrial = [&](int way) {
        int stretches = 0;
        while (backingOff.next(milliseconds(5)) == way) ++stretches;
        EXPECT_EQ(backingOff.next(milliseconds(9)), way) << "the trial loses";
        return stretches;
    };
    EXPECT_EQ(runBeforeTrial(0), 1) << "the first trial comes after two stretches";
    EXPECT_EQ(runBeforeTrial(0), 3);
    EXPECT_EQ(runBeforeTrial(0), 4);
    EXPECT_EQ(runBeforeTrial(0), 4);
    while (backingOff.next(milliseconds(5)) == 0) {}
    EXPECT_EQ(backingOff.next(milliseconds(1)), 1) << "the trial wins";
    EXPECT_EQ(runBeforeTrial(1), 0);
    EXPECT_EQ(runBeforeTrial(1), 1);
    EXPECT_EQ(runBeforeTrial(1), 3);
    EXPECT_EQ(runBeforeTrial(1), 4);
}

TEST(EmbeddedDatenpool, SecondWriterIsRefusedWhileTheFirstHoldsTheDatenpool) {
    testing_support::TempDir dir;
    auto connection = db::SqliteConnection::create(dir.file("pool.db"));
    auto other = db::SqliteConnection::open(dir.file("pool.db"));
    other->runScript("PRAGMA busy_timeout = 0");
    connection->beginTransaction();
    try {
        other->beginTransaction();
        FAIL() << "two writers at once";
    } catch (const db::Error& error) {
        EXPECT_FALSE(db::isSilent(error.code()));
        EXPECT_EQ(error.kind(), db::Error::Kind::locked);
        EXPECT_NE(std::string(error.description()).find("locked"), std::string::npos) << error.description();
    }
    connection->rollback();
}

}  // namespace
