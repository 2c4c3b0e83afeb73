#include "db/sqlite/SqliteFileSurvey.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "db/Error.h"
#include "db/Texts.h"
#include "db/sqlite/SqliteTable.h"
#include "text/Utf8Path.h"

namespace db {

namespace {

bool contains(const std::string& upper, const char* part) { return upper.find(part) != std::string::npos; }

// Opening for writing changes nothing in the file.
bool fileWritable(const std::string& file) {
    return std::fstream(text::pathOf(file), std::ios::in | std::ios::out | std::ios::binary).is_open();
}

// SQLite writes its journal beside the file: a file of the check's own is made there and removed.
bool folderWritable(const std::filesystem::path& folder) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path probe = folder / ("~anschriftenwandler-pruefung-" + std::to_string(stamp) + ".tmp");
    std::error_code ignored;
    if (!std::ofstream(probe, std::ios::binary).is_open()) return false;
    std::filesystem::remove(probe, ignored);
    return true;
}

struct OwnHandle {
    sqlite3* handle = nullptr;
    ~OwnHandle() { sqlite3_close(handle); }
};

}  // namespace

ColumnKind sqliteColumnKind(const std::string& declaredType) {
    std::string upper = declaredType;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    // The tool writes a date as its text "YYYY-MM-DD", which a DATE column keeps as it is.
    if (contains(upper, "DATE") || contains(upper, "TIME")) return ColumnKind::date;
    // The order of SQLite's own rules for a column's affinity.
    if (contains(upper, "INT")) return ColumnKind::number;
    if (contains(upper, "CHAR") || contains(upper, "CLOB") || contains(upper, "TEXT")) return ColumnKind::text;
    if (upper.empty()) return ColumnKind::text;  // no affinity: a text stays a text
    if (contains(upper, "BLOB")) return ColumnKind::other;
    return ColumnKind::number;
}

std::string sqliteLibraryVersion() { return std::string("SQLite ") + sqlite3_libversion(); }

SqliteFileSurvey::SqliteFileSurvey(Connection& connection, std::string file, std::vector<Finding> reached)
    : connection_(connection), file_(std::move(file)), reached_(std::move(reached)) {}

std::vector<Finding> SqliteFileSurvey::connectionFindings() {
    std::vector<Finding> findings = reached_;
    findings.push_back({Verdict::ok, std::string(texts::kSubjectEncryption), texts::sqliteFileEncryption(file_)});
    return findings;
}

std::optional<std::vector<ColumnFacts>> SqliteFileSurvey::columns(const std::string& table) {
    const auto rows = connection_.execute("PRAGMA table_info(\"" + table + "\")");
    std::vector<ColumnFacts> columns;
    for (; !rows->atEnd(); rows->moveNext()) {
        ColumnFacts column;
        column.name = rows->value(1).toText();
        column.type = rows->value(2).toText();
        column.kind = sqliteColumnKind(column.type);
        if (column.kind == ColumnKind::text) column.maxChars = declaredLength(column.type);
        columns.push_back(std::move(column));
    }
    if (columns.empty()) return std::nullopt;
    return columns;
}

std::string SqliteFileSurvey::typeNote() const { return std::string(texts::kSqliteTypes); }

Finding SqliteFileSurvey::routine(const std::string& name) {
    std::string body;
    try {
        const auto rows = connection_.execute("SELECT Rumpf FROM Routinen WHERE Name = '" + name + "' COLLATE NOCASE");
        if (!rows->atEnd()) body = rows->value(0).toText();
    } catch (const Error& error) {
        return {Verdict::failure, name, texts::routinesTableUnreadable(error.description())};
    }
    if (body.find_first_not_of(" \t\r\n") == std::string::npos) {
        return {Verdict::failure, name, std::string(texts::kRoutineNotInTable)};
    }
    return {Verdict::ok, name, std::string(texts::kRoutineInTable)};
}

std::vector<Finding> SqliteFileSurvey::rights() {
    std::vector<Finding> findings;
    if (fileWritable(file_)) {
        findings.push_back({Verdict::ok, std::string(texts::kSubjectRights), texts::fileWritable(file_)});
    } else {
        findings.push_back({Verdict::failure, std::string(texts::kSubjectRights), texts::fileReadOnly(file_)});
    }
    const std::filesystem::path folder = text::pathOf(file_).parent_path();
    if (folderWritable(folder)) {
        findings.push_back(
            {Verdict::ok, std::string(texts::kSubjectRights), texts::folderWritable(text::utf8Of(folder))});
    } else {
        findings.push_back(
            {Verdict::failure, std::string(texts::kSubjectRights), texts::folderReadOnly(text::utf8Of(folder))});
    }
    return findings;
}

Finding SqliteFileSurvey::locks() {
    OwnHandle own;
    if (sqlite3_open_v2(file_.c_str(), &own.handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        return {Verdict::warning, std::string(texts::kSubjectLocks),
                texts::locksNotChecked(own.handle ? sqlite3_errmsg(own.handle) : "")};
    }
    // Without a busy handler a lock that another program holds answers at once, never waits.
    const auto takes = [&](const char* begin) {
        const int rc = sqlite3_exec(own.handle, begin, nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) sqlite3_exec(own.handle, "ROLLBACK", nullptr, nullptr, nullptr);
        return rc;
    };
    const int writing = takes("BEGIN IMMEDIATE");
    if (writing == SQLITE_BUSY) {
        return {Verdict::failure, std::string(texts::kSubjectLocks), std::string(texts::kOtherProgramWriting)};
    }
    const int alone = writing == SQLITE_OK ? takes("BEGIN EXCLUSIVE") : writing;
    if (alone == SQLITE_BUSY) {
        return {Verdict::failure, std::string(texts::kSubjectLocks), std::string(texts::kOtherProgramReading)};
    }
    if (alone != SQLITE_OK) {
        return {Verdict::warning, std::string(texts::kSubjectLocks),
                texts::locksNotChecked(sqlite3_errmsg(own.handle))};
    }
    return {Verdict::ok, std::string(texts::kSubjectLocks), std::string(texts::kWriteLockFree)};
}

}  // namespace db
