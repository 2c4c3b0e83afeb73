#pragma once
// What the administrator's check asks of a Datenpool before a migration: the driver, the server
// and the encryption of the connection, the columns of a table, whether a routine is there and
// may be run, the rights the migration needs, and whether another session holds the tables
// right now. Each backend answers from its own sources; nothing it asks changes the Datenpool.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace db {

enum class Verdict { ok, warning, failure };

// One line of the check: how it came out, what it is about, and what was found (and, where it
// is not ok, what to do).
struct Finding {
    Verdict verdict = Verdict::ok;
    std::string subject;
    std::string text;

    bool operator==(const Finding&) const = default;
};

enum class ColumnKind { text, number, date, other };

struct ColumnFacts {
    std::string name;
    std::string type;  // as the database declares it, for the message
    ColumnKind kind = ColumnKind::other;
    std::optional<std::size_t> maxChars;  // a text column's length in characters; none: unlimited
};

class Survey {
public:
    virtual ~Survey() = default;
    // The driver and its version, the server and its version, the encryption of the connection.
    virtual std::vector<Finding> connectionFindings() = 0;
    // The table's columns in their order; none when the database has no such table.
    virtual std::optional<std::vector<ColumnFacts>> columns(const std::string& table) = 0;
    // How the database holds the declared types where that is not what they say; empty otherwise.
    virtual std::string typeNote() const { return {}; }
    // Whether the routine is there and this login may run it.
    virtual Finding routine(const std::string& name) = 0;
    // The rights the migration needs beyond running the routines: emptying, writing and reading
    // the staging table, reading and deleting from Adressen, resetting its identity counter.
    virtual std::vector<Finding> rights() = 0;
    // Whether another session holds a lock on AdressenImport or Adressen right now.
    virtual Finding locks() = 0;
};

}  // namespace db
