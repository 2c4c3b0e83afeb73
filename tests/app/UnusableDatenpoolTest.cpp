// A Datenpool that cannot take a conversion, through the real anschriftenwandler-cli: locked
// by another program, read-only, or no database at all. The tool says so in German, ends with
// exit code 1, writes no list, and the staging table keeps the rows of the previous run.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "ConvertWithCli.h"
#include "db/sqlite/SqliteConnection.h"

namespace {

using namespace app_tests;

class UnusableDatenpool : public RefusedRun {
protected:
    // Converts while another connection of this process holds the Datenpool as sql left it.
    CliRun convertWhileAnotherHolds(const std::string& sql) const {
        const auto other = db::SqliteConnection::open(datenpool());
        other->runScript(sql);
        const CliRun result = convert();
        other->rollback();
        return result;
    }
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Makes a file read-only for every process. A missing write permission does not stop root,
// so root gets the immutable attribute instead, which binds root as well.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {
#ifdef __linux__
        if (geteuid() == 0) {
            made_ = setImmutable(true);
            immutable_ = made_;
            return;
        }
#endif
        std::filesystem::permissions(path_, kWrite, std::filesystem::perm_options::remove);
        // Wine maps the read-only attribute onto the file modes, and those do not stop root.
        made_ = !std::fstream(path_, std::ios::in | std::ios::out | std::ios::binary).is_open();
    }
    ~ReadOnlyFile() {
#ifdef __linux__
        if (immutable_) {
            setImmutable(false);
            return;
        }
#endif
        std::error_code ignored;
        std::filesystem::permissions(path_, kWrite, std::filesystem::perm_options::add, ignored);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    bool made() const { return made_; }

private:
    static constexpr auto kWrite =
        std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write;
#ifdef __linux__
    bool setImmutable(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
    bool immutable_ = false;
#endif
    std::string path_;
    bool made_ = false;
};

TEST_F(UnusableDatenpool, WriteTransactionOfAnotherProgramRefusesTheRun) {
    const CliRun result = convertWhileAnotherHolds("BEGIN IMMEDIATE; INSERT INTO AdressenImport (nachname) VALUES ('fremd');");

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "ist gesperrt, weil ein anderes Programm gerade darin arbeitet")) << result.err;
}

TEST_F(UnusableDatenpool, ExclusiveLockOfAnotherProgramRefusesTheRunWithoutBlamingTheScript) {
    const CliRun result = convertWhileAnotherHolds("BEGIN EXCLUSIVE;");

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "ist gesperrt, weil ein anderes Programm gerade darin arbeitet")) << result.err;
    EXPECT_FALSE(contains(result.err, "Datenbankskript")) << result.err;
}

TEST_F(UnusableDatenpool, ReaderThatOutlastsTheRunMakesItFailNotSucceed) {
    // The run gets its write lock, but its commit waits for the reader in vain; the whole
    // run is rolled back, and that must not be reported as a conversion.
    const CliRun result = convertWhileAnotherHolds("BEGIN; SELECT count(*) FROM AdressenImport;");

    expectRefused(result, 1);
    EXPECT_TRUE(contains(result.err, "Die konvertierten Adressen ließen sich nicht speichern")) << result.err;
    EXPECT_FALSE(contains(result.err, "Adressen konvertiert nach")) << result.err;
}

TEST_F(UnusableDatenpool, ReadOnlyFileRefusesTheRun) {
    const ReadOnlyFile readOnly(datenpool());
    if (!readOnly.made()) GTEST_SKIP() << "this file system cannot make the Datenpool read-only for root";

    const CliRun result = convert();

    expectRefused(result, 1);
    EXPECT_EQ(result.err, "Der Datenpool '" + datenpool() + "' ist schreibgeschützt.\n");
}

TEST_F(UnusableDatenpool, FileThatIsNoDatenpoolIsRefusedAndLeftAsItWas) {
    const std::string notADatabase = "Dies ist eine Textdatei und kein Datenpool.\n";
    const std::string file = dir.write("notizen.txt", notADatabase);

    const CliRun result = run({"convert", "--adr", adrDir(), "--db", file});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(contains(result.err, "Die Datei '" + file + "' ist kein Datenpool")) << result.err;
    EXPECT_FALSE(contains(result.err, "Datenbankskript")) << "the script would not mend a text file: " << result.err;
    EXPECT_EQ(testing_support::readWhole(file), notADatabase);
}

}  // namespace
