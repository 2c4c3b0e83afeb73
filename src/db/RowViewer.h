#pragma once
// Looks at each row as it is saved, on the thread that writes it: work on the values that need
// not hold up the thread that fills the rows.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "db/Value.h"

namespace db {

class RowViewer {
public:
    virtual ~RowViewer() = default;
    // Before the first row: where a column, named without regard to case, stands among the
    // values; none for a column the table lacks.
    using Position = std::function<std::optional<std::size_t>(std::string_view column)>;
    virtual void columnsAre(const Position& position) = 0;
    // The values of a row in the table's column order (none: not assigned). n: the number of
    // a new row handed on to be written behind (from 1, as RowOutcomes counts them), told of
    // every row handed on, in order, before its outcome is told; 0 for a row written at once,
    // told once it is saved (a row saved before: with all its values). Must not throw.
    virtual void view(std::uint64_t n, std::span<const std::optional<Value>> values) noexcept = 0;
    // The rows written behind together were all viewed, before the outcome of any of them is
    // told: what the viewer found of them may go on together, under one lock rather than one
    // for each row, which the thread filling the rows would meet. Must not throw.
    virtual void batchViewed() noexcept {}
};

}  // namespace db
