#pragma once
// A migration report read back: in memory, begun anew each time it is opened, and the cells of
// its CSV rows.

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "review/MigrationRecords.h"
#include "review/ReportRows.h"
#include "review/TableWriter.h"

namespace testing_support {

// The cells of a report row in CSV (no cell of these tests holds a quote or a line break).
inline std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> result;
    std::string cell;
    bool quoted = false;
    for (const char c : row) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            result.push_back(cell);
            cell.clear();
        } else {
            cell += c;
        }
    }
    result.push_back(cell);
    return result;
}

// A report in memory, begun anew each time it is opened.
struct ReportInMemory {
    explicit ReportInMemory(review::TableFormat of) : format(of) {}
    review::TableFormat format;
    std::ostringstream out;
    std::optional<review::TableWriter> writer;
    int begun = 0;
    review::ReportOpener opener() {
        return [this]() -> review::TableWriter& {
            ++begun;
            out.str("");
            return writer.emplace(out, format, review::ReportRows::columns());
        };
    }
};

}  // namespace testing_support
