#include "db/TsqlTranslation.h"

namespace db {

namespace {

// Reads a statement from the front, the way the two statements are written: words in any
// case, blanks (any white space) wherever T-SQL allows them. Read by hand: a case-blind
// regular expression costs more to build than the whole statement takes to run.
class StatementReader {
public:
    explicit StatementReader(std::string_view text) : rest_(text) {}

    // Skips white space; with required, false when there is none.
    bool blanks(bool required = false) {
        const std::size_t before = rest_.size();
        while (!rest_.empty() && isBlank(rest_.front())) rest_.remove_prefix(1);
        return !required || rest_.size() < before;
    }
    // Takes word (lower case) in any case.
    bool word(std::string_view word) {
        if (rest_.size() < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (lower(rest_[i]) != word[i]) return false;
        }
        rest_.remove_prefix(word.size());
        return true;
    }
    bool sign(char c) {
        if (rest_.empty() || rest_.front() != c) return false;
        rest_.remove_prefix(1);
        return true;
    }
    // A plain name: a letter or "_", then letters, digits and "_". Empty when there is none.
    std::string_view name() {
        if (rest_.empty() || !(isLetter(rest_.front()) || rest_.front() == '_')) return {};
        return take([](char c) { return isLetter(c) || isDigit(c) || c == '_'; });
    }
    // Up to 18 digits with an optional minus; empty when there are none or more.
    std::string_view seed() {
        const std::string_view start = rest_;
        sign('-');
        const std::size_t digits = take(isDigit).size();
        if (digits == 0 || digits > 18) return {};
        return start.substr(0, start.size() - rest_.size());
    }
    // The end of the statement: blanks, an optional ";", blanks.
    bool end() {
        blanks();
        sign(';');
        blanks();
        return rest_.empty();
    }

private:
    static bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
    template <class Belongs>
    std::string_view take(Belongs belongs) {
        std::size_t n = 0;
        while (n < rest_.size() && belongs(rest_[n])) ++n;
        const std::string_view taken = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return taken;
    }

    std::string_view rest_;
};

// "truncate table T": T, or nothing.
std::string_view truncatedTable(std::string_view statement) {
    StatementReader reader(statement);
    reader.blanks();
    if (!reader.word("truncate") || !reader.blanks(true) || !reader.word("table") || !reader.blanks(true)) {
        return {};
    }
    const std::string_view table = reader.name();
    return !table.empty() && reader.end() ? table : std::string_view{};
}

struct Reseed {
    std::string_view table;
    std::string_view seed;
};

// "DBCC CHECKIDENT('T', RESEED, n)": T and n, or nothing.
std::optional<Reseed> reseed(std::string_view statement) {
    StatementReader reader(statement);
    reader.blanks();
    if (!reader.word("dbcc") || !reader.blanks(true) || !reader.word("checkident")) return std::nullopt;
    reader.blanks();
    if (!reader.sign('(')) return std::nullopt;
    reader.blanks();
    if (!reader.sign('\'')) return std::nullopt;
    Reseed found;
    found.table = reader.name();
    if (found.table.empty() || !reader.sign('\'')) return std::nullopt;
    reader.blanks();
    if (!reader.sign(',')) return std::nullopt;
    reader.blanks();
    if (!reader.word("reseed")) return std::nullopt;
    reader.blanks();
    if (!reader.sign(',')) return std::nullopt;
    reader.blanks();
    found.seed = reader.seed();
    if (found.seed.empty()) return std::nullopt;
    reader.blanks();
    if (!reader.sign(')') || !reader.end()) return std::nullopt;
    return found;
}

}  // namespace

// Names are plain identifiers here, so they can stand in the SQL text as they are.
std::optional<std::string> translateTsql(std::string_view statement) {
    if (const std::string table(truncatedTable(statement)); !table.empty()) {
        return "DELETE FROM " + table + "; DELETE FROM sqlite_sequence WHERE name = '" + table + "' COLLATE NOCASE;";
    }
    if (const auto found = reseed(statement)) {
        const std::string table(found->table);
        return "DELETE FROM sqlite_sequence WHERE name = '" + table +
               "' COLLATE NOCASE; "
               "INSERT INTO sqlite_sequence (name, seq) SELECT name, " +
               std::string(found->seed) + " FROM sqlite_master WHERE type = 'table' AND name = '" + table +
               "' COLLATE NOCASE;";
    }
    return std::nullopt;
}

}  // namespace db
