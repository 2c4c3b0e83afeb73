#pragma once
// Runs anschriftenwandler-cli convert on an ADR directory and a Datenpool of a fresh
// temporary directory, and reads back what the staging table holds.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/RunCli.h"
#include "support/StagingTable.h"
#include "support/TempDir.h"

namespace app_tests {

using testing_support::CliRun;
using testing_support::lines;
using testing_support::stagingColumn;

// The lines of an address file, each ended by CR LF.
inline std::string adrLines(const std::vector<std::string>& lineTexts) {
    std::string bytes;
    for (const auto& line : lineTexts) bytes += line + "\r\n";
    return bytes;
}

// A complete record of eight lines with the surname in line 4.
inline std::string completeRecord(const std::string& number, const std::string& nachname) {
    return adrLines({number + "*", "1#Herr", "Hans", nachname, "Hauptstr. 1", "10115 Berlin", "030 123", "Sparkasse"});
}

inline std::vector<std::string> texts(const std::vector<db::Value>& values) {
    std::vector<std::string> result;
    for (const auto& value : values) result.push_back(value.isNull() ? "<null>" : value.toText());
    return result;
}

inline bool hasLine(const std::string& output, const std::string& line) {
    for (const auto& candidate : lines(output)) {
        if (candidate == line) return true;
    }
    return false;
}

class ConvertWithCli : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir.path() / "ADR"); }

    std::string adrDir() const { return dir.file("ADR"); }
    std::string datenpool() const { return dir.file("pool.db"); }
    void writeAdr(const std::string& name, const std::string& bytes) const { dir.write("ADR/" + name, bytes); }
    CliRun run(const std::vector<std::string>& words) const {
        return testing_support::runCli(words, dir.path().string());
    }
    CliRun convert() const { return run({"convert", "--adr", adrDir(), "--db", datenpool()}); }

    testing_support::TempDir dir;
};

class RefusedRun : public ConvertWithCli {
protected:
    // A Datenpool that already holds a conversion, which a refused run must leave alone,
    // and an ADR directory whose addresses have changed since.
    void SetUp() override {
        ConvertWithCli::SetUp();
        writeAdr("01A", completeRecord("1", "Vorher"));
        ASSERT_EQ(convert().exitCode, 0);
        writeAdr("01A", completeRecord("1", "Nachher"));
    }
    void expectRefused(const CliRun& result, int exitCode) const {
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), std::vector<std::string>{"Vorher"});
    }
};

}  // namespace app_tests
