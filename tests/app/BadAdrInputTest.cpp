// ADR directories that are damaged, odd or unreadable, and wrong calls, through the real
// anschriftenwandler-cli: every case ends with a German message, the documented exit code
// (0 ran, 1 could not run, 2 bad usage) and a staging table that holds what was read.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "ConvertWithCli.h"
#include "support/Fifo.h"

namespace {

using namespace app_tests;
using BadAdrInput = ConvertWithCli;

TEST_F(BadAdrInput, ArbitraryBytesAreConvertedAndListedRowForRow) {
    // Mostly random bytes, with the line ends and markers of the format mixed in often.
    std::mt19937 random(20240611);
    const std::string interesting{"\r\n*#<>/\0\x96\x81\xFD\xF9\xFE\x98\xFF", 15};
    for (int file = 1; file <= 3; ++file) {
        std::string bytes(std::size_t{1} << 18, '\0');
        for (char& b : bytes) {
            const auto r = random();
            b = r % 8 == 0 ? interesting[(r >> 3) % interesting.size()] : static_cast<char>(r >> 8);
        }
        writeAdr("0" + std::to_string(file) + "A", bytes);
    }

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::size_t rows = stagingColumn(datenpool(), "fremdid").size();
    EXPECT_GT(rows, 0u);
    EXPECT_EQ(lines(result.out).size(), rows);
    EXPECT_NE(result.err.find(std::to_string(rows) + " Adressen konvertiert nach "), std::string::npos) << result.err;
}

// The cut is noted also where the line waits behind the row of the record before it, and no
// report keeps its text.
TEST_F(BadAdrInput, FiftyMegabyteLineWithoutCarriageReturnIsCutTo200Characters) {
    writeAdr("01A", completeRecord("1", "Vorne") + adrLines({"4711*", "2", ""}) + std::string(50u << 20, 'N'));

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "fremdid")), (std::vector<std::string>{"1", "4711"}));
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")),
              (std::vector<std::string>{"Vorne", std::string(200, 'N')}));
    // The cut, and the record that ends with the file.
    EXPECT_NE(result.err.find("2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 2 Hinweise;"), std::string::npos)
        << result.err;
}

// A damaged file may be one record of countless short lines: it is converted in memory that does
// not grow with them (before, each line took some 190 times its bytes, and this file needed far
// more than the 100 MB of address space given here).
TEST_F(BadAdrInput, RecordOfHalfAMillionLinesConvertsInBoundedMemory) {
#if defined(_WIN32)
    GTEST_SKIP() << "no address space limit for a child process here";
#elif defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than any limit allows";
#else
    std::string lines = adrLines({"4711*", "1#Herr", "Hans", "Meier"});
    for (int i = 0; i < 500000; ++i) lines += "a\r\n";
    writeAdr("01A", lines);

    const CliRun result =
        testing_support::runCli({"convert", "--adr", adrDir(), "--db", datenpool(), "--report", dir.file("r.csv")},
                                dir.path().string(), "ulimit -v 100000 && ");

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(hasLine(result.err,
                        // The telephone number "a" (line 7) has a letter.
                        "1 Datensatz gelesen: 1 gespeichert, 0 verworfen; 1 Hinweis; 0 mögliche Dubletten; "
                        "98 Adressdateien fehlen oder sind unlesbar."))
        << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), std::vector<std::string>{"Meier"});
#endif
}

// "01a" is read as "01A" where letter cases differ (a copy from a Windows share, a backup tool
// that lowered the names); where both are there, the file named as written is read.
TEST_F(BadAdrInput, AddressFilesInSmallLettersAreReadAndTheNameAsWrittenComesFirst) {
    writeAdr("01a", completeRecord("1", "Klein"));
    writeAdr("02a", completeRecord("2", "Zweitklein"));
    const bool casesDiffer = !std::filesystem::exists(std::filesystem::path(adrDir()) / "02A");
    if (casesDiffer) writeAdr("02A", completeRecord("2", "Gross"));
    writeAdr("00a", completeRecord("700", "Einzeln"));

    const CliRun batch = convert();
    EXPECT_EQ(batch.exitCode, 0) << batch.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")),
              (std::vector<std::string>{"Klein", casesDiffer ? "Gross" : "Zweitklein"}));
    EXPECT_TRUE(hasLine(batch.err,
                        "2 Datensätze gelesen: 2 gespeichert, 0 verworfen; 0 Hinweise; "
                        "97 Adressdateien fehlen oder sind unlesbar."))
        << batch.err;

    const CliRun single = run({"convert-one", "700", "--adr", adrDir(), "--db", datenpool()});
    EXPECT_EQ(single.exitCode, 0) << single.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")).back(), "Einzeln");
}

TEST_F(BadAdrInput, TruncatedFilesKeepWhatTheyHold) {
    // 01A breaks off inside line 4 of the second record; 02A ends with a carriage return
    // whose line feed is missing.
    writeAdr("01A", completeRecord("1", "Muster") + adrLines({"2*", "2", "Erna"}) + "Schul");
    writeAdr("02A", adrLines({"3*", "1", "Hans"}) + "Meier\r");

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "fremdid")), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), (std::vector<std::string>{"Muster", "Schul", "Meier"}));
}

TEST_F(BadAdrInput, LineFeedsWithoutCarriageReturnDoNotEndLines) {
    // One line "4711*=2==Meier=": no header (it ends in "="), but the first line of the run.
    writeAdr("01A", "4711*\n2\n\nMeier\n");

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "fremdid")), std::vector<std::string>{"4711"});
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), std::vector<std::string>{"<null>"});
}

TEST_F(BadAdrInput, NulBytesAreReportedWithFileAndLineAndAddNothing) {
    writeAdr("01A", adrLines({std::string("47\0 11*", 7), "2", "", std::string("Mei\0er", 6),
                              std::string("Haupt\0\0\0str", 11)}));

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(hasLine(result.err, "Ein Nullbyte in Spalte 3 ergibt kein Zeichen (Datei 01A, Zeile 1)")) << result.err;
    EXPECT_TRUE(hasLine(result.err, "Ein Nullbyte in Spalte 4 ergibt kein Zeichen (Datei 01A, Zeile 4)")) << result.err;
    EXPECT_TRUE(hasLine(result.err, "3 Nullbytes ab Spalte 6 ergeben kein Zeichen (Datei 01A, Zeile 5)")) << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "fremdid")), std::vector<std::string>{"4711"});
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), std::vector<std::string>{"Meier"});
    EXPECT_EQ(texts(stagingColumn(datenpool(), "strassenr")), std::vector<std::string>{"Hauptstr"});
}

TEST_F(BadAdrInput, DirectoryInPlaceOfAnAddressFileIsReportedAndSkipped) {
    writeAdr("01A", completeRecord("1", "Muster"));
    std::filesystem::create_directory(std::filesystem::path(adrDir()) / "05A");
    writeAdr("06A", completeRecord("6", "Sechs"));

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string inPlace = (std::filesystem::path(adrDir()) / "05A").string();
    EXPECT_TRUE(hasLine(result.err, "Keine Datei, sondern ein Verzeichnis: " + inPlace)) << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), (std::vector<std::string>{"Muster", "Sechs"}));
}

TEST_F(BadAdrInput, FifoInPlaceOfAnAddressFileIsReportedAndSkipped) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs in a Windows folder";
#else
    writeAdr("01A", completeRecord("1", "Muster"));
    const testing_support::Fifo fifo(adrDir() + "/05A");
    ASSERT_TRUE(fifo.made());
    writeAdr("06A", completeRecord("6", "Sechs"));

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(
        hasLine(result.err, "Die Datei " + adrDir() +
                                "/05A lässt sich nicht lesen: sie ist keine gewöhnliche Datei (sondern etwa eine Pipe "
                                "oder ein Gerät)."))
        << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), (std::vector<std::string>{"Muster", "Sechs"}));
#endif
}

TEST_F(BadAdrInput, FifoHoldingTheSingleAddressIsReportedAndNothingWritten) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs in a Windows folder";
#else
    const testing_support::Fifo fifo(adrDir() + "/45A");
    ASSERT_TRUE(fifo.made());

    const CliRun result = run({"convert-one", "745", "--adr", adrDir(), "--db", datenpool()});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("/45A lässt sich nicht lesen: sie ist keine gewöhnliche Datei"), std::string::npos)
        << result.err;
    EXPECT_TRUE(stagingColumn(datenpool(), "fremdid").empty());
#endif
}

TEST_F(BadAdrInput, FileWithoutReadPermissionIsReportedAndSkipped) {
#ifdef _WIN32
    GTEST_SKIP() << "no POSIX file modes on Windows";
#else
    if (geteuid() == 0) GTEST_SKIP() << "running as root: mode 000 does not keep root from reading";
    writeAdr("01A", completeRecord("1", "Muster"));
    writeAdr("05A", completeRecord("5", "Geheim"));
    std::filesystem::permissions(std::filesystem::path(adrDir()) / "05A", std::filesystem::perms::none);
    writeAdr("06A", completeRecord("6", "Sechs"));

    const CliRun result = convert();

    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(hasLine(result.err, "Die Datei " + adrDir() + "/05A lässt sich nicht öffnen (Zugriff verweigert?)."))
        << result.err;
    EXPECT_EQ(texts(stagingColumn(datenpool(), "nachname")), (std::vector<std::string>{"Muster", "Sechs"}));
#endif
}

TEST_F(RefusedRun, DirectoryWithoutAddressDataOrWithoutNameIsRefused) {
    std::filesystem::remove(std::filesystem::path(adrDir()) / "01A");
    for (const std::string& directory : {adrDir(), dir.file("gibt-es-nicht")}) {
        const CliRun result = run({"convert", "--adr", directory, "--db", datenpool()});
        expectRefused(result, 1);
        EXPECT_EQ(result.err, "Das ausgewählte Dateiverzeichnis enthält keine Adressdaten\n") << directory;
    }
    for (const std::string& directory : {std::string(), std::string("   ")}) {
        const CliRun result = run({"convert", "--adr", directory, "--db", datenpool()});
        expectRefused(result, 1);
        EXPECT_EQ(result.err, "ADR-Verzeichnis angeben!\n") << "'" << directory << "'";
    }
}

TEST_F(RefusedRun, BadUsageEndsWithCode2AndTheHelp) {
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"umwandeln"},
        {"convert", "--adr"},
        {"convert", "--adr", adrDir(), "--db", datenpool(), "--schnell"},
        {"convert", "--adr", adrDir(), "--db", datenpool(), "überzählig"},
        {"convert-one", "zwei", "--adr", adrDir(), "--db", datenpool()},
        // An empty or blank target names no Datenpool.
        {"convert", "--adr", adrDir(), "--db", ""},
        {"convert", "--adr", adrDir(), "--db", "  "},
        {"convert", "--db", "\t"},
        {"convert-one", "1", "--adr", adrDir(), "--db", ""},
        {"init-db", ""},
        {"init-db", " "},
        {"import", "--yes", "--db", ""},
        {"undo", "--yes", "--db", " "},
    };
    for (const auto& words : calls) {
        const CliRun result = run(words);
        expectRefused(result, 2);
        EXPECT_NE(result.err.find("Aufruf: anschriftenwandler-cli"), std::string::npos) << result.err;
    }
}

TEST_F(RefusedRun, HelpNamesWhatToGiveInGerman) {
    for (const std::string command :
         {"init-db", "convert", "convert-one", "import", "undo", "export", "settings", "check"}) {
        const CliRun result = run({command, "--help"});
        EXPECT_EQ(result.exitCode, 0) << command;
        for (const std::string english : {" FILE", " DIR", " NUMBER", "yes|no", " T]", " F "})
            EXPECT_EQ(result.out.find(english), std::string::npos) << command << ": " << english << "\n" << result.out;
    }
    EXPECT_NE(run({"convert", "--help"}).out.find("[--adr VERZEICHNIS] [--db ZIEL] [--registry DATEI]"),
              std::string::npos);
    EXPECT_NE(run({"import", "--help"}).out.find("[--undo-previous ja|nein]"), std::string::npos);
    EXPECT_NE(run({"--help"}).out.find("convert-one NUMMER --adr VERZEICHNIS --db ZIEL"), std::string::npos);
}

}  // namespace
