#include "acceptance/JsonRow.h"

#include <charconv>
#include <stdexcept>

#include "text/Unicode.h"

namespace acceptance {

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    std::map<std::string, db::Value> object() {
        std::map<std::string, db::Value> row;
        expect('{');
        if (peek() == '}') return ++i_, row;
        for (;;) {
            std::string name = string();
            expect(':');
            row.emplace(std::move(name), value());
            if (peek() == ',') {
                ++i_;
                continue;
            }
            expect('}');
            return row;
        }
    }

private:
    char peek() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
        if (i_ >= s_.size()) throw std::runtime_error("JSON endet zu früh");
        return s_[i_];
    }
    void expect(char c) {
        if (peek() != c) throw std::runtime_error(std::string("JSON: erwartet ") + c + " an " + std::to_string(i_));
        ++i_;
    }
    db::Value value() {
        const char c = peek();
        if (c == '"') return db::Value(string());
        if (s_.compare(i_, 4, "null") == 0) return i_ += 4, db::Value();
        double number = 0;
        const auto [end, error] = std::from_chars(s_.data() + i_, s_.data() + s_.size(), number);
        if (error != std::errc()) throw std::runtime_error("JSON: kein Wert an " + std::to_string(i_));
        i_ = static_cast<std::size_t>(end - s_.data());
        return db::Value(number);
    }
    std::string string() {
        expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            c = s_.at(i_++);
            switch (c) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': {
                    unsigned code = 0;
                    std::from_chars(s_.data() + i_, s_.data() + i_ + 4, code, 16);
                    i_ += 4;
                    text::appendUtf8(out, code);
                    break;
                }
                default: out += c;
            }
        }
        expect('"');
        return out;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

}  // namespace

std::map<std::string, db::Value> parseJsonRow(const std::string& line) { return Parser(line).object(); }

}  // namespace acceptance
