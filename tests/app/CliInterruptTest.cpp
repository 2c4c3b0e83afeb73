// Ctrl+C in anschriftenwandler-cli, sent as the terminal sends it: it ends the tool's waits,
// and after the reading it ends only the list, while the tool says what was kept. Killed
// outright, the tool leaves no client data behind in its work files.

#include <gtest/gtest.h>

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ConvertWithCli.h"
#include "db/sqlite/SqliteConnection.h"

namespace {

using namespace app_tests;

// The tool running with stdout into the FIFO out (or a file), stderr into a file, and stdin
// from in (a terminal), else inherited.
class RunningCli {
public:
    RunningCli(const std::vector<std::string>& words, const std::string& out, const std::string& err,
               const std::string& in = "") {
        std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
        for (const auto& word : words) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (!in.empty()) ::dup2(::open(in.c_str(), O_RDWR), 0);
            ::dup2(outFd, 1);
            ::dup2(errFd, 2);
            ::execv(CLI_PATH, argv.data());
            ::_exit(127);
        }
    }
    void interrupt() const { ::kill(pid_, SIGINT); }
    void killOutright() const { ::kill(pid_, SIGKILL); }
    // The exit code; -1 when a signal ended the tool.
    int wait() const {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
};

class CliInterrupt : public ConvertWithCli {
protected:
    // 5000 records, more list than a pipe holds: the tool is still listing when the first line
    // arrives; the list goes into the FIFO that this answers.
    std::string manyRecordsAndAListPipe() {
        std::string records;
        for (int number = 1; number <= 5000; ++number)
            records += completeRecord(std::to_string(number), "Name" + std::to_string(number));
        writeAdr("01A", records);
        return aListPipe();
    }
    std::string aListPipe() {
        const std::string out = dir.file("liste");
        EXPECT_EQ(::mkfifo(out.c_str(), 0600), 0);
        return out;
    }
    // convert with a report, its list into the FIFO out: answers the list once it has begun.
    int startConvertWithReport(std::optional<RunningCli>& cli, const std::string& out) {
        cli.emplace(std::vector<std::string>{"convert", "--adr", adrDir(), "--db", datenpool(), "--report", report()},
                    out, dir.file("fehler"));
        const int list = ::open(out.c_str(), O_RDONLY);
        char first = 0;
        EXPECT_EQ(::read(list, &first, 1), 1);
        return list;
    }
    std::string report() const { return dir.file("bericht.csv"); }
    std::string err() const { return testing_support::readWhole(dir.file("fehler")); }
    // The report rows of saved records.
    std::int64_t savedInReport() const {
        const auto rows = lines(testing_support::readWhole(report()));
        return std::count_if(rows.begin(), rows.end(),
                             [](const std::string& row) { return row.find(";gespeichert;") != std::string::npos; });
    }
};

TEST_F(CliInterrupt, DuringTheListItEndsTheListAndSaysThatEveryRowIsKept) {
    const std::string out = manyRecordsAndAListPipe();
    const RunningCli cli({"convert", "--adr", adrDir(), "--db", datenpool()}, out, dir.file("fehler"));
    const int list = ::open(out.c_str(), O_RDONLY);
    char first = 0;
    ASSERT_EQ(::read(list, &first, 1), 1);
    cli.interrupt();
    std::string listed(1, first);
    char buffer[4096];
    for (ssize_t got; (got = ::read(list, buffer, sizeof buffer)) > 0;)
        listed.append(buffer, static_cast<std::size_t>(got));
    ::close(list);
    const int exitCode = cli.wait();
    const std::string err = testing_support::readWhole(dir.file("fehler"));

    EXPECT_EQ(exitCode, 1) << err;
    EXPECT_LT(lines(listed).size(), 5000u) << "the list ended early";
    EXPECT_EQ(stagingColumn(datenpool(), "fremdid").size(), 5000u);
    EXPECT_TRUE(hasLine(err, "5000 Adressen konvertiert nach " + datenpool() + "/main / AdressenImport:")) << err;
    EXPECT_TRUE(hasLine(err,
                        "Die Ausgabe der Liste wurde abgebrochen, die Konvertierung nicht: alle 5000 konvertierten "
                        "Adressen sind in AdressenImport gespeichert."))
        << err;
    EXPECT_EQ(err.find("Die Konvertierung wurde abgebrochen"), std::string::npos) << err;
}

// The Ctrl+C that ends the list is answered by that, and breaks off nothing after it: the
// records are still paired with their rows (with this many, the pairing takes longer than a
// statement may run once a stop is asked for), and the counts and the report name every saved
// record.
TEST_F(CliInterrupt, DuringTheListItLeavesTheCountsAndTheReportWhole) {
    constexpr int kRecords = 120000;
    std::string records;
    for (int number = 1; number <= kRecords; ++number)
        records += adrLines({std::to_string(number) + "*", "", "", "N" + std::to_string(number)});
    writeAdr("01A", records);
    std::optional<RunningCli> cli;
    const int list = startConvertWithReport(cli, aListPipe());
    cli->interrupt();
    char buffer[4096];
    while (::read(list, buffer, sizeof buffer) > 0) {}
    ::close(list);
    EXPECT_EQ(cli->wait(), 1) << err();

    EXPECT_TRUE(hasLine(err(),
                        "120000 Datensätze gelesen: 120000 gespeichert, 0 verworfen; 1 Hinweis; 0 mögliche "
                        "Dubletten; 98 Adressdateien fehlen oder sind unlesbar."))
        << err();
    EXPECT_EQ(err().find("(Strg+C)"), std::string::npos) << err();
    EXPECT_EQ(savedInReport(), kRecords);
}

// A reader that goes away (a pager closed, "| head") ends the list as a write error: the tool
// still says what was kept, writes the report, and ends with 1.
TEST_F(CliInterrupt, AListPipeClosedByItsReaderEndsTheListButNotTheSummaryOrTheReport) {
    std::optional<RunningCli> cli;
    ::close(startConvertWithReport(cli, manyRecordsAndAListPipe()));
    EXPECT_EQ(cli->wait(), 1) << err();

    EXPECT_TRUE(hasLine(err(),
                        "Die Liste ist unvollständig, die Konvertierung nicht: alle 5000 konvertierten "
                        "Adressen sind in AdressenImport gespeichert."))
        << err();
    EXPECT_TRUE(hasLine(err(),
                        "5000 Datensätze gelesen: 5000 gespeichert, 0 verworfen; 0 Hinweise; 0 mögliche "
                        "Dubletten; 98 Adressdateien fehlen oder sind unlesbar."))
        << err();
    EXPECT_EQ(savedInReport(), 5000);
}

// Killed while it lists and writes the report (kill -9, a crash), the tool leaves none of the
// work files that hold the records read (they have no name in the folder while they are used),
// and no empty file under the report's name.
TEST_F(CliInterrupt, KilledOutrightItLeavesNoWorkFileWithTheRecords) {
    std::optional<RunningCli> cli;
    const int list = startConvertWithReport(cli, manyRecordsAndAListPipe());
    cli->killOutright();
    EXPECT_EQ(cli->wait(), -1);
    ::close(list);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    EXPECT_FALSE(std::filesystem::exists(report())) << "no empty report where none stood";
}

TEST_F(CliInterrupt, WhileAnotherProgramHoldsTheDatenpoolItEndsTheWait) {
    writeAdr("01A", completeRecord("1", "Muster"));
    ASSERT_EQ(convert().exitCode, 0);
    const auto other = db::SqliteConnection::open(datenpool());
    other->runScript("BEGIN IMMEDIATE; INSERT INTO AdressenImport (nachname) VALUES ('fremd');");

    const RunningCli cli({"convert", "--adr", adrDir(), "--db", datenpool()}, dir.file("liste"), dir.file("fehler"));
    // Not a measurement: the tool gets time to start and to begin waiting for the lock.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    cli.interrupt();
    const int exitCode = cli.wait();
    other->rollback();
    const std::string err = testing_support::readWhole(dir.file("fehler"));

    EXPECT_EQ(exitCode, 1) << err;
    EXPECT_NE(err.find("Das Warten auf den Datenpool '" + datenpool() +
                       "', den ein anderes Programm gerade gesperrt hält, "
                       "wurde abgebrochen."),
              std::string::npos)
        << err;
    EXPECT_EQ(testing_support::readWhole(dir.file("liste")), "");
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), std::vector<std::string>{"Muster"});
}

TEST_F(CliInterrupt, DuringALongStatementItCancelsItAndImportsNothing) {
    writeAdr("01A", completeRecord("1", "Muster"));
    ASSERT_EQ(convert().exitCode, 0);
    // An import routine that takes the addresses and then works for minutes.
    db::SqliteConnection::open(datenpool())
        ->runScript(
            "UPDATE Routinen SET Rumpf = 'INSERT INTO Adressen (nachname) SELECT nachname FROM AdressenImport; "
            "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 5000000000) "
            "SELECT COUNT(*) FROM c;' WHERE Name = 'AdressImport'");

    for (const std::string& target : {datenpool(), "Driver=SQLite3;Database=" + datenpool()}) {
        const RunningCli cli({"import", "--yes", "--registry", dir.file("registry.reg"), "--db", target},
                             dir.file("liste"), dir.file("fehler"));
        // Not a measurement: the tool gets time to start and to begin the long statement.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const auto pressed = std::chrono::steady_clock::now();
        cli.interrupt();
        const int exitCode = cli.wait();
        const auto took = std::chrono::steady_clock::now() - pressed;
        const std::string err = testing_support::readWhole(dir.file("fehler"));

        EXPECT_EQ(exitCode, 1) << target << "\n" << err;
        EXPECT_NE(err.find("Die Anweisung an den Datenpool wurde abgebrochen (Strg+C)."), std::string::npos) << err;
        // Far below the minutes of the routine: a cancel that never comes fails here instead of hanging.
        EXPECT_LT(took, std::chrono::seconds(10)) << target;
        EXPECT_EQ(db::SqliteConnection::open(datenpool())->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer(),
                  0)
            << target;
    }
}

TEST_F(CliInterrupt, DuringTheQuestionOnATerminalItAnswersNoAndImportsNothing) {
    writeAdr("01A", completeRecord("1", "Muster"));
    ASSERT_EQ(convert().exitCode, 0);
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);

    const RunningCli cli({"import", "--registry", dir.file("registry.reg"), "--db", datenpool()}, dir.file("liste"),
                         dir.file("fehler"), ::ptsname(terminal));
    // Not a measurement: the tool gets time to ask.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    cli.interrupt();
    const int exitCode = cli.wait();
    ::close(terminal);
    const std::string err = testing_support::readWhole(dir.file("fehler"));

    EXPECT_EQ(exitCode, 1) << err;
    EXPECT_NE(err.find("Fortfahren? [j/N] \nAbgebrochen (Strg+C); nichts wurde geändert."), std::string::npos) << err;
    EXPECT_EQ(db::SqliteConnection::open(datenpool())->execute("SELECT COUNT(*) FROM Adressen")->value(0).integer(), 0);
}

}  // namespace

#endif
