#include "review/TablePairing.h"

#include <exception>
#include <stdexcept>
#include <string_view>

#include "db/Connection.h"
#include "db/RowSet.h"
#include "db/Value.h"
#include "review/RowPairing.h"
#include "review/Texts.h"

namespace review {

TablePass pairWithTable(db::Connection& connection, const std::string& rowsQuery, NumberLog::Reader records,
                        std::function<void(std::int64_t id)> paired) {
    RowPairing pairing(records, std::move(paired));
    TablePass pass;
    try {
        const auto rows = connection.execute(rowsQuery);
        // The two columns are looked up once; a missing one fails as its use by name does.
        const int idAt = rows->position("id");
        const int fremdidAt = rows->position("fremdid");
        const auto column = [&](int at, std::string_view name) {
            return at >= 0 ? rows->value(at) : rows->value(name);
        };
        while (!pairing.done() && !rows->atEnd()) {
            const auto taken = pairing.take(column(fremdidAt, "fremdid"), [&] { return column(idAt, "id").integer(); });
            if (taken == RowPairing::Taken::gaveUp) {
                pass.rowsLeftCountable = false;
                throw std::runtime_error(std::string(texts::kPairingGivenUp));
            }
            rows->moveNext();
        }
    } catch (const std::exception& failure) {
        pass.failure = failure.what();
    }
    pass.rowsPaired = pairing.rowsPaired();
    return pass;
}

}  // namespace review
