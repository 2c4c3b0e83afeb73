#include "text/LeadingNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace text {

namespace {
constexpr long long kExponentLimit = 1'000'000'000;
bool isDigit(char c) { return c >= '0' && c <= '9'; }
// What may follow the digits of a number and still belong to it (blanks are passed over).
bool mayContinue(char c) {
    return isDigit(c) || c == '.' || c == ' ' || c == '\t' || c == '\n' || c == 'e' || c == 'E' || c == 'd' || c == 'D';
}
}  // namespace

void LeadingNumber::feed(std::string_view character) {
    if (character.size() != 1) {
        state_ = State::Done;
        return;
    }
    feedAscii(character.front());
}

void LeadingNumber::feedAscii(char c) {
    if (state_ == State::Done || c == ' ' || c == '\t' || c == '\n') return;
    take(c);
}

void LeadingNumber::take(char c) {
    const bool exponentMark = c == 'e' || c == 'E' || c == 'd' || c == 'D';
    switch (state_) {
        case State::Start:
            if (c == '-' || c == '+') {
                negative_ = c == '-';
                state_ = State::Integer;
                return;
            }
            state_ = State::Integer;
            [[fallthrough]];
        case State::Integer:
            if (isDigit(c)) {
                ++digits_;
                if (mantissa_.empty() && c == '0') return;
                if (mantissa_.size() < kMaxMantissa) {
                    mantissa_ += c;
                } else {
                    ++shift_;
                }
                return;
            }
            if (c == '.') {
                state_ = State::Fraction;
                return;
            }
            state_ = exponentMark && digits_ > 0 ? State::ExponentStart : State::Done;
            return;
        case State::Fraction:
            if (isDigit(c)) {
                ++digits_;
                if (mantissa_.empty() && c == '0') {
                    --shift_;
                } else if (mantissa_.size() < kMaxMantissa) {
                    mantissa_ += c;
                    --shift_;
                }
                return;
            }
            state_ = exponentMark && digits_ > 0 ? State::ExponentStart : State::Done;
            return;
        case State::ExponentStart:
            if (c == '-' || c == '+') {
                exponentNegative_ = c == '-';
                state_ = State::ExponentSign;
                return;
            }
            [[fallthrough]];
        case State::ExponentSign:
        case State::Exponent:
            if (isDigit(c)) {
                state_ = State::Exponent;
                if (exponent_ < kExponentLimit) exponent_ = exponent_ * 10 + (c - '0');
                return;
            }
            state_ = State::Done;
            return;
        case State::Done: return;
    }
}

double LeadingNumber::value() const {
    if (mantissa_.empty()) return 0.0;
    const long long power = shift_ + (exponentNegative_ ? -exponent_ : exponent_);
    // A whole number of up to 15 digits is exact as a double: no text to parse.
    if (power == 0 && mantissa_.size() <= 15) {
        std::int64_t whole = 0;
        for (const char digit : mantissa_) whole = whole * 10 + (digit - '0');
        return negative_ ? -static_cast<double>(whole) : static_cast<double>(whole);
    }
    const std::string literal = mantissa_ + "e" + std::to_string(power);
    double result = 0.0;
    const auto [end, error] = std::from_chars(literal.data(), literal.data() + literal.size(), result);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large does not fit.
        if (power < 0) return negative_ ? -0.0 : 0.0;
        throw NumberOverflow();
    }
    if (std::isinf(result)) throw NumberOverflow();
    return negative_ ? -result : result;
}

void LeadingNumber::feedText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && !finished()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            feedAscii(text[i++]);
            continue;
        }
        // Any other character ends the number.
        state_ = State::Done;
    }
}

double leadingNumber(std::string_view text) {
    // Most header lines are plain digits and their "*": read at once what the state machine
    // would read, a whole number of up to 15 digits that nothing after it continues.
    std::size_t digits = 0;
    std::int64_t whole = 0;
    for (; digits < text.size() && digits <= 15 && isDigit(text[digits]); ++digits) {
        whole = whole * 10 + (text[digits] - '0');
    }
    if (digits > 0 && digits <= 15 && (digits == text.size() || !mayContinue(text[digits]))) {
        return static_cast<double>(whole);
    }
    LeadingNumber number;
    number.feedText(text);
    return number.value();
}

}  // namespace text
