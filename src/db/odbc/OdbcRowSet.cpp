#include "db/odbc/OdbcRowSet.h"

#include <utility>

#include "db/Error.h"
#include "db/Texts.h"
#include "db/odbc/MoreResults.h"
#include "db/odbc/OdbcText.h"

namespace db {

namespace {

constexpr SQLLEN kTextChunk = 2048;  // characters per SQLGetData call

}  // namespace

OdbcRowSet::OdbcRowSet(const OdbcSession& session, OdbcHandle statement)
    : session_(session), statement_(std::move(statement)) {
    SQLSMALLINT columns = 0;
    for (;;) {
        session_.check(SQLNumResultCols(statement_.get(), &columns), statement_);
        if (columns > 0) break;
        const SQLRETURN rc = session_.watched(statement_, [&] { return SQLMoreResults(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            atEnd_ = true;
            resultsPassed_ = true;
            return;
        }
        session_.check(rc, statement_);
    }
    for (SQLUSMALLINT column = 1; column <= columns; ++column) {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        session_.check(
            SQLDescribeColW(statement_.get(), column, name, 256, &nameLength, &type, &size, &digits, &nullable),
            statement_);
        names_.push_back(fromWide(name, static_cast<std::size_t>(nameLength < 255 ? nameLength : 255)));
        kinds_.push_back(kindOf(type, size, digits));
    }
    fetch();
}

OdbcRowSet::Kind OdbcRowSet::kindOf(SQLSMALLINT type, SQLULEN size, SQLSMALLINT digits) const {
    switch (type) {
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT: return Kind::Integer;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE: return Kind::Double;
        case SQL_DECIMAL:
        case SQL_NUMERIC: return digits == 0 && size <= 18 ? Kind::Integer : Kind::Double;
        case SQL_TYPE_DATE:
        case SQL_DATE: return session_.dialect.datesAsText ? Kind::Text : Kind::Date;
        default: return Kind::Text;
    }
}

void OdbcRowSet::moveNext() {
    if (!atEnd_) fetch();
}

void OdbcRowSet::fetch() {
    row_.assign(kinds_.size(), std::nullopt);
    try {
        const SQLRETURN rc = session_.watched(statement_, [&] { return SQLFetch(statement_.get()); });
        if (rc == SQL_NO_DATA) {
            atEnd_ = true;
            return;
        }
        session_.check(rc, statement_);
        if (session_.anyColumnOrder) return;
        for (std::size_t i = 0; i < kinds_.size(); ++i) row_[i] = read(static_cast<SQLUSMALLINT>(i + 1), kinds_[i]);
    } catch (...) {
        atEnd_ = true;
        throw;
    }
}

Value OdbcRowSet::read(SQLUSMALLINT column, Kind kind) const {
    SQLLEN indicator = 0;
    switch (kind) {
        case Kind::Integer: {
            SQLBIGINT number = 0;
            session_.check(SQLGetData(statement_.get(), column, SQL_C_SBIGINT, &number, 0, &indicator), statement_);
            return indicator == SQL_NULL_DATA ? Value() : Value(static_cast<std::int64_t>(number));
        }
        case Kind::Double: {
            double number = 0;
            session_.check(SQLGetData(statement_.get(), column, SQL_C_DOUBLE, &number, 0, &indicator), statement_);
            return indicator == SQL_NULL_DATA ? Value() : Value(number);
        }
        case Kind::Date: {
            SQL_DATE_STRUCT date{};
            session_.check(SQLGetData(statement_.get(), column, SQL_C_TYPE_DATE, &date, sizeof date, &indicator),
                           statement_);
            return indicator == SQL_NULL_DATA ? Value() : Value(Date{date.year, date.month, date.day});
        }
        case Kind::Text: return readText(column);
    }
    return Value();
}

Value OdbcRowSet::readText(SQLUSMALLINT column) const {
    std::vector<SQLWCHAR> text;
    SQLWCHAR buffer[kTextChunk + 1];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement_.get(), column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA) break;
        session_.check(rc, statement_);
        if (indicator == SQL_NULL_DATA) return Value();
        const bool whole = indicator != SQL_NO_TOTAL && indicator <= kTextChunk * static_cast<SQLLEN>(sizeof(SQLWCHAR));
        const SQLLEN characters = whole ? indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) : kTextChunk;
        text.insert(text.end(), buffer, buffer + characters);
        if (whole) break;
    }
    return Value(fromWide(text.data(), text.size()));
}

Value OdbcRowSet::value(int column) const {
    if (atEnd_) throw Error(kNoCurrentRow, std::string(texts::kNoCurrentRecord));
    if (column < 0 || column >= columnCount()) throw Error(kItemNotFound, texts::fieldNumberMissing(column));
    auto& value = row_[static_cast<std::size_t>(column)];
    if (!value) value = read(static_cast<SQLUSMALLINT>(column + 1), kinds_[static_cast<std::size_t>(column)]);
    return *value;
}

void OdbcRowSet::passMoreResults() {
    atEnd_ = true;
    if (std::exchange(resultsPassed_, true)) return;
    db::passMoreResults([&] { return session_.watched(statement_, [&] { return SQLMoreResults(statement_.get()); }); },
                        [&](SQLRETURN rc) { session_.check(rc, statement_); });
}

}  // namespace db
