#include "app/ColumnFit.h"

#include "adr/StagingLengths.h"
#include "app/Texts.h"
#include "text/SameName.h"

namespace app {

namespace {

using db::ColumnFacts;
using db::ColumnKind;

const ColumnFacts* find(const std::vector<ColumnFacts>& columns, std::string_view name) {
    for (const ColumnFacts& column : columns) {
        if (text::sameName(column.name, name)) return &column;
    }
    return nullptr;
}

bool holds(const ColumnFacts& column, std::size_t characters) {
    return column.kind == ColumnKind::text && (!column.maxChars || *column.maxChars >= characters);
}

// What is wrong with the column for a text of up to `longest` characters (or a date, or the
// RA-MICRO number); empty when it fits.
std::string misfitOf(const ColumnFacts& column, ColumnKind written, std::size_t longest) {
    if (written == ColumnKind::number) {
        return column.kind == ColumnKind::number ? "" : texts::notANumberColumn(column.type);
    }
    if (written == ColumnKind::date && (column.kind == ColumnKind::date || holds(column, longest))) return "";
    if (holds(column, longest)) return "";
    if (column.kind != ColumnKind::text) return texts::noTextColumn(column.type);
    return texts::columnTooShort(column.type, longest);
}

}  // namespace

std::vector<db::Finding> judgeColumns(const std::string& table,
                                      const std::optional<std::vector<db::ColumnFacts>>& columns, db::Verdict misfit,
                                      const std::string& typeNote) {
    if (!columns) {
        return {{db::Verdict::failure, table, std::string(texts::kTableMissing)}};
    }
    struct Written {
        std::string_view name;
        ColumnKind kind;
        std::size_t longest;
    };
    std::vector<Written> written{{"fremdid", ColumnKind::number, 0}};
    for (std::size_t c = 0; c < adr::kStagingColumnCount; ++c) {
        written.push_back({adr::kStagingColumnNames[c], c == adr::kGeburtstag ? ColumnKind::date : ColumnKind::text,
                           adr::kStagingMaxChars[c]});
    }
    std::vector<db::Finding> findings;
    // Rows are told apart, listed in order and deleted again by their integer id.
    if (const ColumnFacts* id = find(*columns, "id"); !id || id->kind != ColumnKind::number) {
        findings.push_back({db::Verdict::failure, table + ".id",
                            texts::idColumnProblem(id ? texts::idNotANumber(id->type) : std::string(texts::kMissing))});
    }
    for (const Written& column : written) {
        const ColumnFacts* found = find(*columns, column.name);
        const std::string problem =
            found ? misfitOf(*found, column.kind, column.longest) : std::string(texts::kMissing);
        if (!problem.empty()) {
            findings.push_back({misfit, table + "." + std::string(column.name), texts::columnProblem(problem)});
        }
    }
    if (findings.empty()) {
        findings.push_back({db::Verdict::ok, table, texts::columnsFit(written.size(), typeNote)});
    }
    return findings;
}

}  // namespace app
