#include "db/odbc/ParameterArray.h"

#include <algorithm>

#include "db/odbc/OdbcText.h"

namespace db {

namespace {

constexpr SQLULEN kLongestVarchar = 4000;  // longer texts go as SQL_WLONGVARCHAR

template <class Test>
bool allOf(const std::vector<Value>& values, Test&& test) {
    bool any = false;
    for (const auto& value : values) {
        if (value.isNull()) continue;
        if (!test(value)) return false;
        any = true;
    }
    return any;
}

}  // namespace

ParameterArray::ParameterArray(const std::vector<std::vector<Value>>& byParameter,
                               const std::vector<ColumnType>& declared) {
    parameters_.reserve(byParameter.size());
    for (std::size_t i = 0; i < byParameter.size(); ++i) {
        parameters_.push_back(fill(byParameter[i], i < declared.size() ? declared[i] : ColumnType{}));
    }
}

ParameterArray::Parameter ParameterArray::fill(const std::vector<Value>& values, const ColumnType& declared) {
    Parameter parameter;
    parameter.indicators.resize(values.size());
    for (std::size_t row = 0; row < values.size(); ++row)
        parameter.indicators[row] = values[row].isNull() ? SQL_NULL_DATA : 0;

    if (isTextType(declared.sqlType)) {
        fillTexts(parameter, values);
        // A length the catalog does not give (nvarchar(max), SQLite's TEXT) declares a long text.
        const bool sized = declared.size > 0 && declared.size <= kLongestVarchar;
        parameter.sqlType = sized ? SQL_WVARCHAR : SQL_WLONGVARCHAR;
        if (declared.size > 0) parameter.size = declared.size;
        return parameter;
    }
    if (allOf(values, [](const Value& v) { return v.isInteger(); })) {
        parameter.cType = SQL_C_SBIGINT;
        parameter.sqlType = SQL_BIGINT;
        for (const auto& value : values) parameter.integers.push_back(value.isNull() ? 0 : value.integer());
    } else if (allOf(values, [](const Value& v) { return v.isInteger() || v.isDouble(); })) {
        parameter.cType = SQL_C_DOUBLE;
        parameter.sqlType = SQL_DOUBLE;
        for (const auto& value : values) {
            parameter.doubles.push_back(value.isNull()     ? 0.0
                                        : value.isDouble() ? value.number()
                                                           : static_cast<double>(value.integer()));
        }
    } else if (allOf(values, [](const Value& v) { return v.isDate(); })) {
        parameter.cType = SQL_C_TYPE_DATE;
        parameter.sqlType = SQL_TYPE_DATE;
        parameter.size = 10;
        for (const auto& value : values) {
            const Date date = value.isNull() ? Date{} : value.date();
            parameter.dates.push_back({static_cast<SQLSMALLINT>(date.year), static_cast<SQLUSMALLINT>(date.month),
                                       static_cast<SQLUSMALLINT>(date.day)});
        }
    } else {
        fillTexts(parameter, values);
    }
    if (declared.sqlType != 0) {
        parameter.sqlType = declared.sqlType;
        parameter.size = declared.size;
        parameter.digits = declared.digits;
    }
    return parameter;
}

void ParameterArray::fillTexts(Parameter& parameter, const std::vector<Value>& values) {
    parameter.cType = SQL_C_WCHAR;
    std::vector<std::u16string> texts;
    texts.reserve(values.size());
    std::size_t longest = 0;
    for (const auto& value : values) {
        texts.push_back(toWide(value.toText()));
        longest = std::max(longest, texts.back().size());
    }
    const std::size_t slot = longest + 1;
    parameter.width = static_cast<SQLLEN>(slot * sizeof(SQLWCHAR));
    parameter.size = std::max<SQLULEN>(longest, 1);
    parameter.sqlType = parameter.size > kLongestVarchar ? SQL_WLONGVARCHAR : SQL_WVARCHAR;
    parameter.texts.assign(slot * values.size(), 0);
    for (std::size_t row = 0; row < texts.size(); ++row) {
        std::copy(texts[row].begin(), texts[row].end(),
                  parameter.texts.begin() + static_cast<std::ptrdiff_t>(row * slot));
        if (!values[row].isNull())
            parameter.indicators[row] = static_cast<SQLLEN>(texts[row].size() * sizeof(SQLWCHAR));
    }
}

ColumnType ParameterArray::declaration(std::size_t parameter) const {
    const Parameter& bound = parameters_.at(parameter);
    return {bound.sqlType, bound.size, bound.digits};
}

void ParameterArray::bind(const OdbcSession& session, const OdbcHandle& statement) {
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
        Parameter& parameter = parameters_[i];
        SQLPOINTER data = parameter.cType == SQL_C_SBIGINT     ? static_cast<SQLPOINTER>(parameter.integers.data())
                          : parameter.cType == SQL_C_DOUBLE    ? static_cast<SQLPOINTER>(parameter.doubles.data())
                          : parameter.cType == SQL_C_TYPE_DATE ? static_cast<SQLPOINTER>(parameter.dates.data())
                                                               : static_cast<SQLPOINTER>(parameter.texts.data());
        session.check(SQLBindParameter(statement.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                       parameter.cType, parameter.sqlType, parameter.size, parameter.digits, data,
                                       parameter.width, parameter.indicators.data()),
                      statement);
    }
}

}  // namespace db
