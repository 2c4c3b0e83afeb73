#include "review/RowPairing.h"

#include <optional>

#include "db/Value.h"

namespace review {

namespace {

constexpr std::int64_t kRowsPassedOver = 1000;

bool sameNumber(const db::Value& fremdid, const std::optional<double>& number) {
    if (fremdid.isNull()) return !number;
    if (!number) return false;
    if (fremdid.isDouble()) return fremdid.number() == *number;
    if (fremdid.isInteger()) return static_cast<double>(fremdid.integer()) == *number;
    return fremdid.toText() == db::Value(*number).toText();
}

// How many of the records still to come precede the first that the row's fremdid matches, and
// ahead stands behind that one; none when no record still to come matches it.
std::optional<std::int64_t> recordsBeforeMatch(NumberLog::Reader& ahead, const db::Value& fremdid) {
    for (std::int64_t before = 0; !ahead.atEnd(); ++before) {
        if (sameNumber(fremdid, ahead.next())) return before;
    }
    return std::nullopt;
}

}  // namespace

RowPairing::Taken RowPairing::take(const db::Value& fremdid, const std::function<std::int64_t()>& id) {
    // Each record is read once: most rows pair the next one.
    NumberLog::Reader ahead = ahead_;
    const auto before = recordsBeforeMatch(ahead, fremdid);
    if (!before) return ++rowsPassedOver_ > kRowsPassedOver ? Taken::gaveUp : Taken::passedOver;
    for (std::int64_t i = 0; i < *before; ++i) paired_(0);
    ahead_ = ahead;
    paired_(id());
    ++rowsPaired_;
    return Taken::paired;
}

}  // namespace review
