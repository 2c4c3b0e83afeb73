#include "app/ListLine.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "app/Texts.h"
#include "db/Error.h"
#include "db/RowSet.h"
#include "text/SameName.h"

namespace app {

namespace {

struct Part {
    std::string_view column;
    std::string_view prefix;  // put before a value that has text
};

// The surname comes without prefix: Nz(nachname, "") is its text form.
constexpr Part kParts[] = {{"nachname", ""},
                           {"anrede", texts::kListSeparator},
                           {"PLZOrt", texts::kListSeparator},
                           {"strassenr", texts::kListSeparator},
                           {"telefon1", texts::kListPhone},
                           {"telefon2", texts::kListPhone2},
                           {"telefax", texts::kListFax}};

}  // namespace

ListLines::ListLines(const db::RowSet& rows) : rows_(rows) {
    static_assert(std::size(kParts) == kPartCount);
    for (std::size_t i = 0; i < kPartCount; ++i) positions_[i] = rows.position(kParts[i].column);
}

const std::string& ListLines::current() {
    line_.clear();
    for (std::size_t i = 0; i < kPartCount; ++i) {
        if (positions_[i] < 0) {
            throw db::Error(db::kItemNotFound, texts::missingListColumn(kParts[i].column));
        }
        // list(): the prefix only when the value has at least one character.
        const std::size_t before = line_.size();
        line_ += kParts[i].prefix;
        const std::size_t withPrefix = line_.size();
        rows_.appendText(positions_[i], line_);
        if (line_.size() == withPrefix) line_.resize(before);
    }
    return line_;
}

bool ListLines::reads(std::string_view column) {
    return std::any_of(std::begin(kParts), std::end(kParts),
                       [&](const Part& part) { return text::sameName(part.column, column); });
}

std::string listLine(const db::RowSet& row) { return ListLines(row).current(); }

}  // namespace app
