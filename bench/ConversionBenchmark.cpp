// Side by side, in one run: converting an ADR corpus into the embedded Datenpool with
// anschriftenwandler-cli, without and with the migration report, the same through ODBC with the
// SQLite3 driver, and bulk-loading the very rows it produced into the same table with the sqlite3
// shell's ".import" (the practical limit for writing these rows). Each is run as a child process,
// the medians of wall time, processor time (user and system) and peak memory are reported; the
// runs of a ratio (conversion and .import, with and without the report) alternate, seven of each.
// An ADR directory named as third argument is converted and compared with ".import" of its rows,
// and with and without the report, as well. The ratios against ".import" are taken again while a busy loop holds the last core,
// as a virus scanner or the law-office system would on an office PC.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CorpusGenerator.h"

extern char** environ;

namespace {

struct Measure {
    double seconds = 0;
    double processorSeconds = 0;  // user and system
    long peakKiB = 0;
};

double secondsOf(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs argv with stdout to outFile (or /dev/null); the child's wall and processor time and peak RSS.
Measure runChild(const std::vector<std::string>& argv, const std::string& outFile = "/dev/null") {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    timespec end{};
    clock_gettime(CLOCK_MONOTONIC, &end);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(argv[0] + " " + argv[1] + " failed");
    return {static_cast<double>(end.tv_sec - start.tv_sec) + static_cast<double>(end.tv_nsec - start.tv_nsec) / 1e9,
            secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime), usage.ru_maxrss};
}

// Each of the three on its own.
Measure median(const std::vector<Measure>& runs) {
    const auto middle = [&](auto of) {
        std::vector<decltype(of(runs[0]))> values;
        for (const auto& r : runs) values.push_back(of(r));
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    return {middle([](const Measure& m) { return m.seconds; }),
            middle([](const Measure& m) { return m.processorSeconds; }),
            middle([](const Measure& m) { return m.peakKiB; })};
}

// A process that spins on the machine's last core until it is dropped.
class BusyLoop {
public:
    BusyLoop() : pid_(fork()) {
        if (pid_ < 0) throw std::runtime_error("cannot start the busy loop");
        if (pid_ != 0) return;
        cpu_set_t last;
        CPU_ZERO(&last);
        CPU_SET(static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)) - 1, &last);
        sched_setaffinity(0, sizeof last, &last);
        volatile unsigned long spin = 0;
        for (;;) spin = spin + 1;
    }
    ~BusyLoop() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    BusyLoop(const BusyLoop&) = delete;
    BusyLoop& operator=(const BusyLoop&) = delete;

private:
    pid_t pid_;
};

struct Ratio {
    double wall = 0;
    double processor = 0;
};
Ratio ratioOf(const Measure& a, const Measure& b) {
    return {a.seconds / b.seconds, a.processorSeconds / b.processorSeconds};
}

std::uintmax_t size(const std::filesystem::path& file) { return std::filesystem::file_size(file); }

// What the sqlite3 shell prints for one query, through a file.
std::string sqliteOutput(const std::string& database, const std::string& query, const std::filesystem::path& file) {
    runChild({"sqlite3", database, query}, file.string());
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    // The corpus is written by a child of its own: a child's peak memory counts what its
    // parent held when it was started, so the parent stays small.
    if (argc == 4 && std::string(argv[1]) == "--generate") {
        std::printf("%llu\n", static_cast<unsigned long long>(bench::writeCorpus(argv[2], std::stoi(argv[3]), 4711)));
        return 0;
    }
    const std::string cli = argc > 1 ? argv[1] : CLI_PATH;
    const int records = argc > 2 ? std::stoi(argv[2]) : 100000;
    const std::string givenCorpus = argc > 3 ? argv[3] : "";  // an ADR directory from elsewhere, compared as well
    constexpr int kRepeats = 3;
    constexpr int kAlternations = 7;  // pairs of runs for a ratio
    const auto work = std::filesystem::temp_directory_path() / ("anschriftenwandler-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(work);

    struct Line {
        std::string what;
        double records;
        double bytes;
        Measure m;
    };
    std::vector<Line> table;
    const auto pool = work / "pool.db";
    // Converts a corpus once into a fresh Datenpool, reached as target names it.
    const auto convertOnce = [&](const std::filesystem::path& adr, const std::string& target,
                                 const std::vector<std::string>& options = {}) {
        std::filesystem::remove(pool);
        runChild({cli, "init-db", pool.string()});
        std::vector<std::string> command{cli, "convert", "--adr", adr.string(), "--db", target};
        command.insert(command.end(), options.begin(), options.end());
        return runChild(command);
    };
    const auto convertInto = [&](const std::filesystem::path& adr, const std::string& target) {
        std::vector<Measure> conversions;
        for (int i = 0; i < kRepeats; ++i) conversions.push_back(convertOnce(adr, target));
        return median(conversions);
    };
    // Two kinds of run in turn, and the median of each: taken alternately, both meet the machine
    // in the same state, so that their ratio holds while its speed drifts from run to run.
    const auto alternate = [&](const std::function<Measure()>& first, const std::function<Measure()>& second) {
        std::vector<Measure> firsts, seconds;
        for (int i = 0; i < kAlternations; ++i) {
            firsts.push_back(first());
            seconds.push_back(second());
        }
        return std::pair{median(firsts), median(seconds)};
    };
    // A conversion of adr, and .import of the rows that the first of them produced, as CSV, into
    // an empty staging table of a fresh Datenpool; alternately.
    const auto csv = work / "rows.csv";
    const auto conversionAndImport = [&](const std::filesystem::path& adr) {
        std::filesystem::remove(csv);
        const auto importSameRows = [&] {
            if (!std::filesystem::exists(csv)) {
                runChild({"sqlite3", "-csv", pool.string(), "SELECT * FROM AdressenImport"}, csv.string());
            }
            const auto target = work / "import.db";
            std::filesystem::remove(target);
            runChild({cli, "init-db", target.string()});
            return runChild({"sqlite3", target.string(), ".import --csv " + csv.string() + " AdressenImport"});
        };
        return alternate([&] { return convertOnce(adr, pool.string()); }, importSameRows);
    };
    const auto bytesOf = [](const std::filesystem::path& adr) {
        double bytes = 0;
        for (const auto& file : std::filesystem::directory_iterator(adr))
            bytes += static_cast<double>(file.file_size());
        return bytes;
    };
    const auto rowsIn = [&] {
        return std::stod(sqliteOutput(pool.string(), "SELECT COUNT(*) FROM AdressenImport", work / "count.txt"));
    };

    struct CorpusRatios {
        std::string corpus;
        Ratio idle;
        Ratio busy;
    };
    std::vector<CorpusRatios> importRatios;
    // The conversion against .import of the same rows, idle and with the last core held.
    const auto againstImport = [&](const std::string& corpus, const std::filesystem::path& adr, double rows,
                                   double adrBytes) {
        const auto [conversion, import] = conversionAndImport(adr);
        table.push_back({"convert " + corpus, rows, adrBytes, conversion});
        table.push_back({"sqlite3 .import (same rows)", rows, static_cast<double>(size(csv)), import});
        Ratio busy;
        {
            const BusyLoop loop;
            const auto [busyConversion, busyImport] = conversionAndImport(adr);
            table.push_back({"convert " + corpus + ", last core busy", rows, adrBytes, busyConversion});
            table.push_back({"sqlite3 .import, last core busy", rows, static_cast<double>(size(csv)), busyImport});
            busy = ratioOf(busyConversion, busyImport);
        }
        importRatios.push_back({corpus, ratioOf(conversion, import), busy});
        return conversion;
    };

    // The conversion with the report against the conversion without, alternately.
    std::vector<std::pair<std::string, Ratio>> reportRatios;
    const auto reportAgainstPlain = [&](const std::string& corpus, const std::filesystem::path& adr, double rows,
                                        double adrBytes) {
        const auto [without, withReport] =
            alternate([&] { return convertOnce(adr, pool.string()); },
                      [&] {
                          // A new report each time, as the Datenpool is new: replacing the last
                          // one would add the freeing of its blocks, no part of the conversion.
                          const auto report = work / "report.csv";
                          std::filesystem::remove(report);
                          return convertOnce(adr, pool.string(), {"--report", report.string()});
                      });
        table.push_back({"convert " + corpus + " --report (CSV)", rows, adrBytes, withReport});
        reportRatios.emplace_back(corpus, ratioOf(withReport, without));
    };

    double odbcRatio = 0;
    for (const int count : {records / 10, records}) {
        const auto adr = work / ("ADR-" + std::to_string(count));
        runChild({"/proc/self/exe", "--generate", adr.string(), std::to_string(count)});
        const double adrBytes = bytesOf(adr);
        if (count != records) {
            table.push_back({"convert (" + std::to_string(count) + " records)", static_cast<double>(count), adrBytes,
                             convertInto(adr, pool.string())});
            continue;
        }
        const Measure conversion = againstImport("own corpus (" + std::to_string(count) + " records)", adr,
                                                 static_cast<double>(count), adrBytes);
        reportAgainstPlain("own corpus", adr, static_cast<double>(count), adrBytes);
        table.push_back({"convert via ODBC (SQLite3 driver)", static_cast<double>(count), adrBytes,
                         convertInto(adr, "Driver=SQLite3;Database=" + pool.string())});
        odbcRatio = conversion.seconds / table.back().m.seconds;
    }
    if (!givenCorpus.empty()) {
        const std::filesystem::path adr = givenCorpus;
        // The rows the first conversion staged, for the records per second.
        convertOnce(adr, pool.string());
        const double rows = rowsIn();
        againstImport(adr.filename().string(), adr, rows, bytesOf(adr));
        reportAgainstPlain(adr.filename().string(), adr, rows, bytesOf(adr));
    }
    std::printf("%-52s %10s %8s %9s %11s %9s\n", "", "records/s", "MB/s", "seconds", "processor s", "peak MiB");
    for (const auto& line : table) {
        std::printf("%-52s %10.0f %8.1f %9.3f %11.3f %9.1f\n", line.what.c_str(), line.records / line.m.seconds,
                    line.bytes / line.m.seconds / 1e6, line.m.seconds, line.m.processorSeconds,
                    static_cast<double>(line.m.peakKiB) / 1024.0);
    }
    for (const auto& [corpus, idle, busy] : importRatios) {
        std::printf("conversion / .import, %s: wall %.2f (target: at most 0.6), processor %.2f (at most 0.8)\n",
                    corpus.c_str(), idle.wall, idle.processor);
        std::printf("conversion / .import, %s, last core busy: wall %.2f (target: at most 0.8), processor %.2f\n",
                    corpus.c_str(), busy.wall, busy.processor);
    }
    for (const auto& [corpus, ratio] : reportRatios) {
        std::printf("conversion with --report / without, %s: wall %.2f (target: at most 1.10), processor %.2f\n",
                    corpus.c_str(), ratio.wall, ratio.processor);
    }
    std::printf("ODBC throughput / embedded throughput: %.2f (target: at least 0.5)\n", odbcRatio);
    std::filesystem::remove_all(work);
    return 0;
}
