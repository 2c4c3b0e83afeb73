// New rows saved in batches: a row that fails fails alone and is named, the others are kept in
// their order, and columns a row leaves unassigned keep their defaults.

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>

#include "db/Backends.h"
#include "db/Error.h"
#include "db/odbc/ParameterArray.h"

namespace {

using db_tests::Backend;

class Batches : public db_tests::DatenpoolTest {
protected:
    // The rows an error names ("lfdnr=37"); a backend that saves row by row names none, and
    // then the failure is the row being saved.
    static std::set<int> namedRows(const db::Error& error) {
        static const std::regex pattern("lfdnr=([0-9]+)");
        std::set<int> rows;
        const std::string text = error.description();
        for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
            rows.insert(std::stoi((*it)[1].str()));
        }
        return rows;
    }
    // Runs a step that may save rows; the rows it reports as failed go to `failed`.
    void save(const std::function<void()>& step, std::optional<int> current) {
        try {
            step();
        } catch (const db::Error& error) {
            codes.insert(error.code());
            auto named = namedRows(error);
            if (named.empty() && current) named.insert(*current);
            EXPECT_FALSE(named.empty()) << error.description();
            for (int row : named) EXPECT_TRUE(failed.insert(row).second) << "row " << row << " reported twice";
        }
    }
    std::vector<int> storedRows(const std::string& table) {
        std::vector<int> rows;
        for (auto set = connection->execute("SELECT lfdnr FROM " + table + " ORDER BY id"); !set->atEnd();
             set->moveNext()) {
            rows.push_back(static_cast<int>(set->value(0).integer()));
        }
        return rows;
    }

    std::set<int> failed;
    std::set<std::int32_t> codes;
};

TEST_P(Batches, RowsFailingInTheMiddleFailAloneAndAreNamed) {
    connection->execute(
        "CREATE TABLE Nummern (id INTEGER PRIMARY KEY AUTOINCREMENT, lfdnr INTEGER, code INTEGER UNIQUE, name TEXT NOT "
        "NULL)");
    const int count = 1200;  // more than two batches
    const std::set<int> failing = {37, 700, 1100};
    connection->beginTransaction();  // as a conversion writes them
    auto rows = connection->openForWriting("Nummern");
    for (int i = 1; i <= count; ++i) {
        rows->addNew();
        rows->set("lfdnr", i);
        rows->set("code", i == 37 ? 36 : i == 700 ? 1 : i);  // 37 and 700 repeat a code
        if (i != 1100) rows->set("name", "Zeile " + std::to_string(i));
        save([&] { rows->update(); }, i);
    }
    save([&] { rows->close(); }, std::nullopt);
    connection->commit();

    EXPECT_EQ(failed, failing);
    EXPECT_EQ(codes, std::set<std::int32_t>{db::kIntegrityViolation});
    std::vector<int> expected;
    for (int i = 1; i <= count; ++i) {
        if (!failing.count(i)) expected.push_back(i);
    }
    EXPECT_EQ(storedRows("Nummern"), expected) << "every other row saved once, in its order";
}

TEST_P(Batches, EveryRowOfABatchCanFail) {
    connection->execute("CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, lfdnr INTEGER, name TEXT NOT NULL)");
    auto rows = connection->openForWriting("Pflicht");
    for (int i = 1; i <= 5; ++i) {
        rows->addNew();
        rows->set("lfdnr", i);
        if (i == 3) rows->set("name", "die einzige");
        save([&] { rows->update(); }, i);
    }
    save([&] { rows->close(); }, std::nullopt);
    EXPECT_EQ(failed, (std::set<int>{1, 2, 4, 5}));
    EXPECT_EQ(storedRows("Pflicht"), std::vector<int>{3});
}

TEST_P(Batches, RowsAFailedStatementKeptAreNotWrittenTwice) {
    // FAIL keeps the rows a statement inserted before the one it refuses.
    connection->execute(
        "CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, lfdnr INTEGER, name TEXT NOT NULL ON CONFLICT FAIL)");
    const std::set<int> failing = {30, 95, 96, 460};
    connection->beginTransaction();
    auto rows = connection->openForWriting("Pflicht");
    for (int i = 1; i <= 600; ++i) {
        rows->addNew();
        rows->set("lfdnr", i);
        if (!failing.count(i)) rows->set("name", "Zeile " + std::to_string(i));
        save([&] { rows->update(); }, i);
    }
    save([&] { rows->close(); }, std::nullopt);
    connection->commit();

    EXPECT_EQ(failed, failing);
    std::vector<int> expected;
    for (int i = 1; i <= 600; ++i) {
        if (!failing.count(i)) expected.push_back(i);
    }
    EXPECT_EQ(storedRows("Pflicht"), expected) << "every other row saved once, in its order";
}

TEST_P(Batches, UnassignedColumnsKeepTheirDefaultsAndRowsTheirOrder) {
    connection->execute(
        "CREATE TABLE Orte (id INTEGER PRIMARY KEY AUTOINCREMENT, lfdnr INTEGER, ort TEXT DEFAULT 'unbekannt', "
        "plz TEXT)");
    auto rows = connection->openForWriting("Orte");
    for (int i = 1; i <= 7; ++i) {
        rows->addNew();
        rows->set("lfdnr", i);
        if (i % 3 == 0) rows->set("ort", "Köln");
        if (i == 5) rows->set("ort", db::Value());
        save([&] { rows->update(); }, i);
    }
    save([&] { rows->close(); }, std::nullopt);
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(storedRows("Orte"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    std::vector<std::string> places;
    for (auto set = connection->execute("SELECT ort, plz FROM Orte ORDER BY id"); !set->atEnd(); set->moveNext()) {
        places.push_back(set->value(0).isNull() ? "NULL" : set->value(0).toText());
        EXPECT_TRUE(set->value(1).isNull());
    }
    EXPECT_EQ(places,
              (std::vector<std::string>{"unbekannt", "unbekannt", "Köln", "unbekannt", "NULL", "Köln", "unbekannt"}));
}

// Every batch of a run declares its parameters alike, whatever values it holds, so that the
// server keeps one prepared insert for the run.
TEST(ParameterDeclarations, ColumnTypeFromTheCatalogWhateverTheBatchHolds) {
    using db::ColumnType;
    using db::Value;
    struct Case {
        ColumnType column;
        std::vector<std::vector<Value>> batches;
        ColumnType declared;
    };
    const Case cases[] = {
        {{SQL_WVARCHAR, 255, 0},
         {{Value("Meier"), Value("Schulz")}, {Value(std::int64_t{5}), Value()}, {Value("ß")}},
         {SQL_WVARCHAR, 255, 0}},
        {{SQL_VARCHAR, 40, 0}, {{Value("Weg 1")}, {Value(1.5)}}, {SQL_WVARCHAR, 40, 0}},
        {{SQL_WVARCHAR, 0, 0}, {{Value("lang")}, {Value(std::string(5000, 'x'))}}, {SQL_WLONGVARCHAR, 0, 0}},
        {{SQL_WLONGVARCHAR, 1073741823, 0}, {{Value("a")}, {Value("abc")}}, {SQL_WLONGVARCHAR, 1073741823, 0}},
        {{SQL_FLOAT, 53, 0},
         {{Value(std::int64_t{745}), Value(std::int64_t{746})}, {Value(1.5)}, {Value("12a")}, {Value()}},
         {SQL_FLOAT, 53, 0}},
        {{SQL_TYPE_DATE, 10, 0}, {{Value(db::Date{1960, 3, 12})}, {Value("unbekannt")}}, {SQL_TYPE_DATE, 10, 0}},
        {{SQL_DECIMAL, 10, 2}, {{Value(3.25)}, {Value(std::int64_t{7})}}, {SQL_DECIMAL, 10, 2}},
    };
    for (const Case& c : cases) {
        for (const auto& batch : c.batches) {
            const db::ParameterArray parameters({batch}, {c.column});
            const ColumnType declared = parameters.declaration(0);
            EXPECT_EQ(declared.sqlType, c.declared.sqlType) << c.column.sqlType << " " << batch.front().toText();
            if (c.declared.size != 0) {  // a long text's length means nothing to its declaration
                EXPECT_EQ(declared.size, c.declared.size) << c.column.sqlType << " " << batch.front().toText();
            }
            EXPECT_EQ(declared.digits, c.declared.digits) << c.column.sqlType;
        }
    }
}

TEST(ParameterDeclarations, WithoutTheCatalogTheValuesDecide) {
    using db::Value;
    EXPECT_EQ(db::ParameterArray({{Value("a"), Value("abcd")}}).declaration(0), (db::ColumnType{SQL_WVARCHAR, 4, 0}));
    EXPECT_EQ(db::ParameterArray({{Value(std::int64_t{1})}}).declaration(0).sqlType, SQL_BIGINT);
    EXPECT_EQ(db::ParameterArray({{Value(std::int64_t{1}), Value(2.5)}}).declaration(0).sqlType, SQL_DOUBLE);
    EXPECT_EQ(db::ParameterArray({{Value(std::string(4001, 'x'))}}).declaration(0).sqlType, SQL_WLONGVARCHAR);
}

INSTANTIATE_FOR_BOTH_BACKENDS(Batches);

// Through ODBC the rows are held back until the batch is full, and the failure names them.
TEST(OdbcBatches, FailureNamesTheRowAndTheDriverText) {
    testing_support::TempDir dir;
    const auto connection = db_tests::createDatenpool(Backend::Odbc, dir.file("pool.db"));
    connection->execute("CREATE TABLE Pflicht (id INTEGER PRIMARY KEY, lfdnr INTEGER, name TEXT NOT NULL)");
    auto rows = connection->openForWriting("Pflicht");
    for (int i = 1; i <= 3; ++i) {
        rows->addNew();
        rows->set("lfdnr", i);
        if (i != 2) rows->set("name", "gesetzt");
        rows->update();
    }
    try {
        rows->close();
        FAIL() << "the row without a name passed";
    } catch (const db::Error& error) {
        EXPECT_EQ(error.code(), db::kIntegrityViolation);
        const std::string text = error.description();
        EXPECT_EQ(text.rfind("Der Datensatz lfdnr=2 wurde nicht gespeichert: ", 0), 0u) << text;
        EXPECT_NE(text.find("NOT NULL constraint failed"), std::string::npos) << text;
    }
}

}  // namespace
