#pragma once
// The rows of another row set, read at once and held: what a routine answers, so that the
// results after it can be passed before anyone reads it.

#include <string>
#include <vector>

#include "db/RowSet.h"

namespace db {

class HeldRowSet : public RowSet {
public:
    // Reads every row of rows from where it stands.
    explicit HeldRowSet(RowSet& rows);

    bool atEnd() const override { return current_ >= rows_.size(); }
    void moveNext() override;
    int columnCount() const override { return static_cast<int>(names_.size()); }
    const std::string& columnName(int column) const override { return names_.at(static_cast<std::size_t>(column)); }
    Value value(int column) const override;

private:
    std::vector<std::string> names_;
    std::vector<std::vector<Value>> rows_;
    std::size_t current_ = 0;
};

}  // namespace db
