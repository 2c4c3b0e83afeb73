#pragma once
// The leading number of a text, read the way a numeric parse of a line's start works:
// blanks, tabs and line feeds are skipped wherever they stand; digits with an optional sign,
// one decimal point and an exponent (E or D) are taken; the first other character ends it.
// A text without a leading number gives 0. Fed character by character, it needs bounded
// memory however long the text is.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "text/Texts.h"

namespace text {

// The number does not fit a double.
class NumberOverflow : public std::overflow_error {
public:
    NumberOverflow() : std::overflow_error(std::string(texts::kOverflow)) {}
};

class LeadingNumber {
public:
    // Feeds the next character of the text (UTF-8 sequences: pass the whole character).
    void feed(std::string_view character);
    // Feeds the characters of a UTF-8 text, up to the end of the number.
    void feedText(std::string_view text);
    bool finished() const { return state_ == State::Done; }
    // Throws NumberOverflow when the number is too large for a double.
    double value() const;
    // True when at least one digit was taken.
    bool hasDigits() const { return digits_ > 0; }

private:
    enum class State { Start, Integer, Fraction, ExponentStart, ExponentSign, Exponent, Done };
    void feedAscii(char c);
    void take(char c);

    static constexpr std::size_t kMaxMantissa = 800;
    State state_ = State::Start;
    bool negative_ = false;
    std::string mantissa_;  // significant digits, at most kMaxMantissa
    long long shift_ = 0;   // power of ten to apply to the mantissa digits
    bool exponentNegative_ = false;
    long long exponent_ = 0;  // saturated
    std::size_t digits_ = 0;
};

double leadingNumber(std::string_view text);

}  // namespace text
