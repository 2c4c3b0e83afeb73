// The import killed at random moments (SIGKILL to the command-line tool): afterwards Adressen
// holds either none of the staged addresses, or all of them under the range the settings
// record, so that the undo removes exactly them.

#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "db/Backends.h"
#include "db/sqlite/SqliteConnection.h"
#include "settings/FileRegistry.h"
#include "settings/RegistryOperations.h"
#include "support/HostPath.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

constexpr const char* kProfiles = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken";
constexpr const char* kImportKey = "SOFTWARE\\Norvel-Kanzleisoftware\\datenbanken\\Kanzlei\\Import";
// Enough staged addresses that the copy takes most of a run.
constexpr int kStaged = 50000;
constexpr int kOwnAddresses = 3;
constexpr int kKills = 50;

class ImportCrash : public ::testing::TestWithParam<db_tests::Backend> {
protected:
    ImportCrash() {
        pool = dir.file("pool.db");
        templatePool = dir.file("vorlage.db");
        registryFile = dir.file("registry.reg");
        templateRegistry = dir.file("vorlage.reg");
        {
            auto cnn = db::SqliteConnection::create(templatePool);
            cnn->runScript(
                "INSERT INTO Adressen (nachname) VALUES ('a'), ('b'), ('c');"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                std::to_string(kStaged) +
                ") INSERT INTO AdressenImport (fremdid, nachname, vorname, strassenr, PLZOrt) "
                "SELECT i, 'Name ' || i, 'Vorname', 'Weg ' || i, '12345 Ort' FROM n;");
        }
        settings::FileRegistry registry(templateRegistry);
        write(registry, kProfiles, "", "Kanzlei");
        const std::string keywords = std::string(kProfiles) + "\\Kanzlei\\verbindung";
        for (const auto& [keyword, setting] : db_tests::connectionKeywordsFor(GetParam(), pool)) {
            write(registry, keywords, keyword, setting);
        }
        // A previous import, ids 2 and 3, which the new one is told to keep.
        write(registry, kImportKey, "AdressNr0", "1");
        write(registry, kImportKey, "AdressNr1", "3");
    }
    static void write(settings::RegistryApi& registry, const std::string& key, const std::string& name,
                      const std::string& value) {
        settings::RegValueWrite(registry, settings::kCurrentUser, key, name, value, settings::kRegSz);
    }
    // The state before an import. The settings store's lock and temporary files of a killed
    // run stay where they are, as they would on the office's disk.
    void reset() {
        std::filesystem::remove(pool + "-journal");
        std::filesystem::copy_file(templatePool, pool, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(templateRegistry, registryFile, std::filesystem::copy_options::overwrite_existing);
    }
    pid_t startImport() {
        const std::string cli = CLI_PATH;
        std::vector<std::string> words{cli, "import", "--yes", "--undo-previous", "no", "--registry", registryFile};
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (const int descriptor : {0, 1, 2}) {
            posix_spawn_file_actions_addopen(&actions, descriptor, "/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY,
                                             0);
        }
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) throw std::runtime_error("cannot start " + cli);
        return pid;
    }
    static int wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }
    std::string stored(const std::string& name) {
        settings::FileRegistry registry(registryFile);
        return settings::RegValueRead(registry, settings::kCurrentUser, kImportKey, name, "");
    }

    testing_support::TempDir dir;
    std::string pool;
    std::string templatePool;
    std::string registryFile;
    std::string templateRegistry;
};

TEST_P(ImportCrash, KilledAtAnyMomentLeavesNoImportOrARecordedOne) {
    // The shortest of three undisturbed runs: the first one also loads the caches and drivers,
    // and kills timed by it alone land mostly after the import has ended.
    auto whole = std::chrono::steady_clock::duration::max();
    for (int run = 0; run < 3; ++run) {
        reset();
        const auto started = std::chrono::steady_clock::now();
        const int finished = wait(startImport());
        whole = std::min(whole, std::chrono::steady_clock::now() - started);
        ASSERT_TRUE(WIFEXITED(finished) && WEXITSTATUS(finished) == 0) << "an undisturbed import runs";
        ASSERT_EQ(stored("AdressNr1"), std::to_string(kOwnAddresses + kStaged));
    }

    std::mt19937 random(std::random_device{}());
    // Half beyond the whole run, so that some kills come after the commit.
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 3 / 2);
    int withoutImport = 0;
    int withImport = 0;
    int insideTransaction = 0;
    // At least kKills kills, and more (up to four times as many) until every kind of moment was
    // met: before the import, inside its transaction (a small share of a run where the tool
    // starts slowly, as under the sanitizers) and after its commit.
    int kills = 0;
    const auto everyMomentMet = [&] { return withoutImport > 0 && withImport > 0 && insideTransaction > 0; };
    for (; kills < kKills || (!everyMomentMet() && kills < 4 * kKills); ++kills) {
        const int kill = kills;
        reset();
        const pid_t pid = startImport();
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        wait(pid);

        // A journal left behind: the kill came while the import's transaction was open.
        std::error_code ignored;
        if (std::filesystem::exists(pool + "-journal", ignored)) ++insideTransaction;
        auto cnn = db::SqliteConnection::open(pool);
        const auto rows =
            cnn->execute("SELECT COUNT(*), MIN(id), MAX(id) FROM Adressen WHERE id > " + std::to_string(kOwnAddresses));
        const std::int64_t added = rows->value(0).integer();
        if (added == 0) {
            ++withoutImport;
            continue;
        }
        ++withImport;
        const std::string from = stored("AdressNr0");
        const std::string to = stored("AdressNr1");
        EXPECT_EQ(added, kStaged) << "kill " << kill << ": an import is whole or absent";
        EXPECT_EQ(from, std::to_string(kOwnAddresses)) << "kill " << kill;
        EXPECT_EQ(to, std::to_string(rows->value(2).integer()))
            << "kill " << kill << ": the range covers every new row";
    }
    EXPECT_GT(withoutImport, 0);
    EXPECT_GT(withImport, 0);
    EXPECT_GT(insideTransaction, 0) << "no kill landed inside the copy";
    std::printf("%d kills: %d without import, %d with a recorded import, %d inside the transaction\n", kills,
                withoutImport, withImport, insideTransaction);
}

INSTANTIATE_FOR_BOTH_BACKENDS(ImportCrash);

}  // namespace

#endif
