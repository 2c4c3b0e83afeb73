#pragma once
// A column value as the database hands it over: the database's null, a whole number,
// a floating-point number, a text (UTF-8) or a calendar date.

#include <cstdint>
#include <string>
#include <variant>

namespace db {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

class Value {
public:
    Value() = default;  // null
    Value(std::int64_t number) : data_(number) {}
    Value(int number) : data_(std::int64_t{number}) {}
    Value(double number) : data_(number) {}
    Value(std::string text) : data_(std::move(text)) {}
    Value(const char* text) : data_(std::string(text)) {}
    Value(Date date) : data_(date) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool isInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool isDouble() const { return std::holds_alternative<double>(data_); }
    bool isText() const { return std::holds_alternative<std::string>(data_); }
    bool isDate() const { return std::holds_alternative<Date>(data_); }

    std::int64_t integer() const { return std::get<std::int64_t>(data_); }
    double number() const { return std::get<double>(data_); }
    const std::string& text() const { return std::get<std::string>(data_); }
    Date date() const { return std::get<Date>(data_); }

    // The text form: numbers in decimal digits (up to 15 significant digits, as a
    // variant prints them), dates as YYYY-MM-DD, null as the empty text.
    std::string toText() const;

    friend bool operator==(const Value&, const Value&) = default;

private:
    std::variant<std::monostate, std::int64_t, double, std::string, Date> data_;
};

std::string formatIsoDate(Date date);

}  // namespace db
