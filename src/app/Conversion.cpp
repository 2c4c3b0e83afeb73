#include "app/Conversion.h"

#include "adr/BatchReader.h"
#include "adr/ConversionEvents.h"
#include "app/ListLine.h"
#include "app/Texts.h"
#include "db/Connection.h"
#include "db/Error.h"
#include "db/GoOn.h"
#include "db/RowSet.h"
#include "text/NumberText.h"
#include "text/SameName.h"

namespace app {

namespace {

ConversionOutcome failed(const std::string& why) {
    ConversionOutcome outcome;
    outcome.ending = ConversionOutcome::Ending::failed;
    outcome.failure = why;
    return outcome;
}

// The run's rows with the columns their list lines are built from and those a listed row is
// paired by (id and fremdid): the other columns of the whole row would cost the list most of
// its time. A column the table lacks is not asked for, so that the list says which one it
// misses, as it does for a table of another form.
std::unique_ptr<db::RowSet> listedRows(db::Connection& connection) {
    const auto columns = connection.execute("SELECT * FROM AdressenImport WHERE 1=0");
    std::string read;
    for (int i = 0; i < columns->columnCount(); ++i) {
        const std::string& name = columns->columnName(i);
        if (!ListLines::reads(name) && !text::sameName(name, "id") && !text::sameName(name, "fremdid")) continue;
        read += (read.empty() ? "" : ", ") + name;
    }
    return connection.execute("SELECT " + (read.empty() ? std::string("*") : read) +
                              " FROM AdressenImport ORDER BY id");
}

}  // namespace

ConversionOutcome convertDirectory(db::Connection& connection, adr::FieldMapper& mapper, adr::ConversionEvents& events,
                                   const std::string& directory, const ListLineSink& addListLine,
                                   const ListedRowSink& rowListed) {
    const db::Report report = [&](const std::string& description) { events.showMessage(description); };
    try {
        connection.beginTransaction();
    } catch (const db::Error& failure) {
        return failed(failure.description());
    }
    ConversionOutcome outcome;
    adr::BatchReader reader(connection, mapper, events);
    try {
        outcome.recordsStarted = reader.run(directory);
    } catch (const db::Error& failure) {
        db::goOn(report, [&] { connection.rollback(); });
        return failed(texts::conversionNotBegun(failure.description()));
    }
    try {
        connection.commit();
    } catch (const db::Error& failure) {
        // Nothing of the run was kept; listing the old rows as the result would pass for success.
        db::goOn(report, [&] { connection.rollback(); });
        return failed(texts::conversionNotSaved(failure.description()));
    }
    outcome.ending = reader.cancelled() ? ConversionOutcome::Ending::cancelled : ConversionOutcome::Ending::finished;

    // The rows are kept whatever happens to their list: a list that breaks off is said to be
    // one, and the summary counts what the staging table holds.
    try {
        outcome.listComplete = true;
        const auto rows = listedRows(connection);
        ListLines lines(*rows);
        for (; !rows->atEnd(); rows->moveNext()) {
            if (!addListLine(lines.current())) {
                outcome.listComplete = false;
                break;
            }
            if (rowListed) rowListed(*rows);
            ++outcome.listed;
        }
    } catch (const std::exception& failure) {
        outcome.listComplete = false;
        events.showMessage(texts::listUnreadable(failure.what()));
    }
    if (!outcome.listComplete) outcome.staged = stagedRows(connection);
    return outcome;
}

std::optional<std::int64_t> stagedRows(db::Connection& connection) {
    try {
        return connection.execute("SELECT COUNT(*) FROM AdressenImport")->value(0).integer();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string datenpoolName(const db::Connection& connection) {
    return connection.property("Data Source") + "/" + connection.property("Initial Catalog");
}

std::string datenpoolCaption(const db::Connection& connection) {
    return datenpoolName(connection) + " / AdressenImport";
}

std::string conversionSummary(std::int64_t listed, std::string_view groupSeparator, const std::string& caption) {
    return texts::conversionSummary(text::groupDigits(listed, groupSeparator), caption);
}

std::string conversionSummary(const ConversionOutcome& outcome, std::string_view groupSeparator,
                              const std::string& caption) {
    // A cancelled run must not pass for the whole directory.
    const std::string target =
        outcome.ending == ConversionOutcome::Ending::cancelled ? texts::cancelledTarget(caption) : caption;
    if (outcome.listComplete) return conversionSummary(outcome.listed, groupSeparator, target);
    if (outcome.staged) return conversionSummary(*outcome.staged, groupSeparator, target);
    return texts::conversionSummaryUncounted(target);
}

}  // namespace app
