#pragma once
// The line that lists a converted address: surname, salutation word, postal code and place,
// street, telephones and fax, each part with its prefix only when it has text.

#include <array>
#include <string>
#include <string_view>

namespace db {
class RowSet;
}

namespace app {

// Builds the lines of the rows of one row set; the columns are looked up once, and the
// line is built in one buffer that every row reuses.
class ListLines {
public:
    explicit ListLines(const db::RowSet& rows);
    // The line of the row the row set stands on; valid until the next call.
    const std::string& current();
    // Whether the line is built from this column (named without regard to case).
    static bool reads(std::string_view column);

private:
    static constexpr std::size_t kPartCount = 7;
    const db::RowSet& rows_;
    std::array<int, kPartCount> positions_{};  // -1: the row set has no such column
    std::string line_;
};

std::string listLine(const db::RowSet& row);

}  // namespace app
