#pragma once
// Address numbers in the order they were added, kept compact: a whole number close to the one
// before takes a byte or two, so a million records need about two megabytes, not sixteen. The
// bytes are kept in blocks: a log that grows is never copied whole, nor held twice meanwhile.

#include <cstddef>
#include <deque>
#include <optional>

namespace review {

class NumberLog {
public:
    void add(std::optional<double> number);

    // Reads the numbers back in order, also those added after it was made (the list begins before
    // the last record is finished).
    class Reader {
    public:
        explicit Reader(const std::deque<char>& bytes) : bytes_(&bytes) {}
        bool atEnd() const { return position_ >= bytes_->size(); }
        std::optional<double> next();

    private:
        const std::deque<char>* bytes_;
        std::size_t position_ = 0;
        long long previous_ = 0;
    };
    Reader reader() const { return Reader(bytes_); }

private:
    std::deque<char> bytes_;
    long long previous_ = 0;  // the last whole number added
};

}  // namespace review
