// The acceptance sample converted by anschriftenwandler-cli must give, column for column and
// line for line, what the independent reference conversion expects.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "acceptance/JsonRow.h"
#include "db/sqlite/SqliteConnection.h"
#include "support/RunCli.h"
#include "support/TempDir.h"

namespace {

using testing_support::lines;
using testing_support::readWhole;

const std::string kSample = std::string(ACCEPTANCE_DIR) + "/random500";

class AcceptanceSample : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(kSample)) return;
        dir_ = new testing_support::TempDir;
        run_ = new testing_support::CliRun(
            testing_support::runCli({"convert", "--adr", kSample + "/ADR", "--db", dir_->file("sample.db")}, dir_->path().string()));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete dir_;
    }
    void SetUp() override {
        if (!run_) GTEST_SKIP() << "no acceptance sample at " << kSample;
    }

    static testing_support::TempDir* dir_;
    static testing_support::CliRun* run_;
};

testing_support::TempDir* AcceptanceSample::dir_ = nullptr;
testing_support::CliRun* AcceptanceSample::run_ = nullptr;

TEST_F(AcceptanceSample, ConversionRunsAndReportsEveryMissingFile) {
    EXPECT_EQ(run_->exitCode, 0) << run_->err;
    int missing = 0;
    for (const auto& line : lines(run_->err)) missing += line.rfind("Datei nicht gefunden", 0) == 0 ? 1 : 0;
    EXPECT_EQ(missing, 19);
    EXPECT_NE(run_->err.find("492 Adressen konvertiert nach "), std::string::npos) << run_->err;
}

TEST_F(AcceptanceSample, ListLinesMatchLineForLine) {
    const auto expected = lines(readWhole(kSample + "/expected_list.txt"));
    const auto actual = lines(run_->out);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(actual[i], expected[i]) << "list line " << i + 1;
}

TEST_F(AcceptanceSample, StagingRowsMatchColumnForColumn) {
    const auto connection = db::SqliteConnection::open(dir_->file("sample.db"));
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
                EXPECT_EQ(actual.isDouble() ? actual.number() : static_cast<double>(actual.integer()), expected.number())
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

}  // namespace
