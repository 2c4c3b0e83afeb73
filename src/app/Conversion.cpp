#include "app/Conversion.h"

#include "adr/BatchReader.h"
#include "adr/ConversionEvents.h"
#include "app/ListLine.h"
#include "app/NumberText.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/GoOn.h"

namespace app {

ConversionOutcome convertDirectory(db::Connection& connection, adr::FieldMapper& mapper, adr::ConversionEvents& events,
                                   const std::string& directory, const std::function<void(const std::string&)>& addListLine) {
    const db::Report report = [&](const std::string& description) { events.showMessage(description); };
    ConversionOutcome outcome;
    connection.beginTransaction();
    adr::BatchReader reader(connection, mapper, events);
    try {
        outcome.recordsStarted = reader.run(directory);
    } catch (const db::Error&) {
        db::goOn(report, [&] { connection.rollback(); });
        throw;
    }
    try {
        connection.commit();
    } catch (const db::Error& failure) {
        // Nothing of the run was kept; listing the old rows as the result would pass for success.
        db::goOn(report, [&] { connection.rollback(); });
        throw db::Error(failure.code(), "Die konvertierten Adressen ließen sich nicht speichern; der Datenpool bleibt, "
                                        "wie er vor der Konvertierung war. " + std::string(failure.description()));
    }

    // The listing has no failure handling of its own in the window; here its failure is
    // reported like any other, and what was listed stays.
    db::goOn(report, [&] {
        for (auto rows = connection.execute("Adressenimport"); !rows->atEnd(); rows->moveNext()) {
            addListLine(listLine(*rows));
            ++outcome.listed;
        }
    });
    return outcome;
}

std::string datenpoolCaption(const db::Connection& connection) {
    return connection.property("Data Source") + "/" + connection.property("Initial Catalog") + " / AdressenImport";
}

std::string conversionSummary(std::int64_t listed, std::string_view groupSeparator, const std::string& caption) {
    return groupDigits(listed, groupSeparator) + " Adressen konvertiert nach " + caption + ":";
}

}  // namespace app
