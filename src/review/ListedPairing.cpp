#include "review/ListedPairing.h"

#include "db/RowSet.h"
#include "db/Value.h"

namespace review {

void ListedPairing::take(const db::RowSet& row) {
    if (!usable_) return;
    if (!columnsKnown_) {
        columnsKnown_ = true;
        idAt_ = row.position("id");
        fremdidAt_ = row.position("fremdid");
    }
    const db::Value id = idAt_ >= 0 && fremdidAt_ >= 0 ? row.value(idAt_) : db::Value();
    if (!id.isInteger() || id.integer() <= lastId_) {
        usable_ = false;
        return;
    }
    lastId_ = id.integer();
    if (pairing_.take(row.value(fremdidAt_), [&] { return lastId_; }) == RowPairing::Taken::gaveUp) usable_ = false;
}

}  // namespace review
