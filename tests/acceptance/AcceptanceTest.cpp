// The acceptance sample converted by anschriftenwandler-cli must give, column for column and
// line for line, what the independent reference conversion expects: into the Datenpool file,
// and into the same kind of file through ODBC.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "acceptance/JsonRow.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/HostPath.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using testing_support::lines;
using testing_support::readWhole;

const std::string kSample = std::string(ACCEPTANCE_DIR) + "/random500";

// How --db names the Datenpool: its file, or a connection string through the SQLite3 ODBC driver.
enum class Target { File, Odbc };

struct Conversion {
    testing_support::TempDir dir;
    testing_support::CliRun run;
    std::string file() const { return dir.file("sample.db"); }
};

// The sample converted once per target, into a fresh Datenpool.
const Conversion& conversionFor(Target target) {
    static std::map<Target, std::unique_ptr<Conversion>> done;
    auto& conversion = done[target];
    if (!conversion) {
        conversion = std::make_unique<Conversion>();
        const std::string out = conversion->dir.path().string();
        std::string db = conversion->file();
        if (target == Target::Odbc) {
            const auto init = testing_support::runCli({"init-db", db}, out);
            EXPECT_EQ(init.exitCode, 0) << init.err;
            db = "Driver=SQLite3;Database=" + testing_support::hostPath(db);
        }
        conversion->run = testing_support::runCli({"convert", "--adr", kSample + "/ADR", "--db", db}, out);
    }
    return *conversion;
}

class AcceptanceSample : public ::testing::TestWithParam<Target> {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kSample)) GTEST_SKIP() << "no acceptance sample at " << kSample;
        conversion_ = &conversionFor(GetParam());
        run_ = &conversion_->run;
    }

    const Conversion* conversion_ = nullptr;
    const testing_support::CliRun* run_ = nullptr;
};

TEST_P(AcceptanceSample, ConversionRunsAndReportsEveryMissingFile) {
    EXPECT_EQ(run_->exitCode, 0) << run_->err;
    int missing = 0;
    for (const auto& line : lines(run_->err)) missing += line.rfind("Datei nicht gefunden", 0) == 0 ? 1 : 0;
    EXPECT_EQ(missing, 19);
    EXPECT_NE(run_->err.find("492 Adressen konvertiert nach "), std::string::npos) << run_->err;
}

TEST_P(AcceptanceSample, ListLinesMatchLineForLine) {
    const auto expected = lines(readWhole(kSample + "/expected_list.txt"));
    const auto actual = lines(run_->out);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "list line " << i + 1;
}

TEST_P(AcceptanceSample, StagingRowsMatchColumnForColumn) {
    const auto connection = db::SqliteConnection::open(conversion_->file());
    auto rows = connection->execute("SELECT * FROM AdressenImport ORDER BY id");
    std::ifstream expectedFile(kSample + "/expected.jsonl");
    std::string json;
    std::size_t rowNumber = 0;
    while (std::getline(expectedFile, json)) {
        ++rowNumber;
        ASSERT_FALSE(rows->atEnd()) << "staging table ends before expected row " << rowNumber;
        for (const auto& [column, expected] : acceptance::parseJsonRow(json)) {
            const db::Value actual = rows->value(column);
            if (expected.isDouble()) {
                ASSERT_TRUE(actual.isDouble() || actual.isInteger()) << column << " in row " << rowNumber;
                EXPECT_EQ(actual.isDouble() ? actual.number() : static_cast<double>(actual.integer()),
                          expected.number())
                    << column << " in row " << rowNumber;
            } else {
                EXPECT_EQ(actual, expected) << column << " in row " << rowNumber << ": " << actual.toText();
            }
        }
        rows->moveNext();
    }
    EXPECT_EQ(rowNumber, 492u);
    EXPECT_TRUE(rows->atEnd()) << "more staging rows than expected";
}

std::string targetName(const ::testing::TestParamInfo<Target>& target) {
    return target.param == Target::File ? "File" : "Odbc";
}

INSTANTIATE_TEST_SUITE_P(Targets, AcceptanceSample, ::testing::Values(Target::File, Target::Odbc), targetName);

}  // namespace
