#include "db/GetField.h"

#include <exception>

#include "db/Connection.h"

namespace db {

namespace {

FieldResult orEmpty(const std::optional<Value>& value) {
    if (value) return *value;
    return std::monostate{};
}

FieldResult lookUp(Connection& connection, std::string_view auswahl, const std::optional<Value>& nullwert) {
    const auto rows = connection.execute("SELECT " + std::string(auswahl));
    if (rows->atEnd() || rows->value(0).isNull()) return orEmpty(nullwert);
    if (rows->columnCount() == 1) return rows->value(0);
    FieldTable table(static_cast<std::size_t>(rows->columnCount()));
    for (; !rows->atEnd(); rows->moveNext()) {
        for (std::size_t field = 0; field < table.size(); ++field)
            table[field].push_back(rows->value(static_cast<int>(field)));
    }
    return table;
}

}  // namespace

FieldResult GetField(Connection& connection, std::string_view auswahl, const std::optional<Value>& nullwert,
                     const std::optional<Value>& fehlerwert, const Report& report) {
    // Every failure counts here, the codes that reader and mapper pass over included.
    std::string description;
    try {
        return lookUp(connection, auswahl, nullwert);
    } catch (const std::exception& failure) {
        description = failure.what();
    }
    if (fehlerwert) return *fehlerwert;
    report(description);
    return std::monostate{};
}

}  // namespace db
