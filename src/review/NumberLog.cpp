#include "review/NumberLog.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace review {

namespace {

// Each entry starts with a varint code: 0 no number, 1 a double in the 8 bytes that follow,
// otherwise 2 + the zigzag-coded difference of a whole number to the whole number before.
constexpr std::uint64_t kNone = 0;
constexpr std::uint64_t kRaw = 1;
constexpr std::uint64_t kFirstDifference = 2;
// Whole numbers up to this size are exact in a double and their differences fit the code.
constexpr double kWholeLimit = 9007199254740992.0;  // 2^53

bool isWhole(double number) {
    return std::fabs(number) < kWholeLimit && std::trunc(number) == number && !(number == 0 && std::signbit(number));
}

void putVarint(std::deque<char>& bytes, std::uint64_t value) {
    for (; value >= 0x80; value >>= 7) bytes.push_back(static_cast<char>((value & 0x7F) | 0x80));
    bytes.push_back(static_cast<char>(value));
}

std::uint64_t takeVarint(const std::deque<char>& bytes, std::size_t& position) {
    std::uint64_t value = 0;
    for (int shift = 0; position < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[position++]);
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80) break;
    }
    return value;
}

}  // namespace

void NumberLog::add(std::optional<double> number) {
    if (!number) return putVarint(bytes_, kNone);
    if (!isWhole(*number)) {
        putVarint(bytes_, kRaw);
        char raw[sizeof(double)];
        std::memcpy(raw, &*number, sizeof raw);
        bytes_.insert(bytes_.end(), raw, raw + sizeof raw);
        return;
    }
    const auto whole = static_cast<long long>(*number);
    const long long difference = whole - previous_;
    previous_ = whole;
    const auto zigzag = (static_cast<std::uint64_t>(difference) << 1) ^ static_cast<std::uint64_t>(difference >> 63);
    putVarint(bytes_, kFirstDifference + zigzag);
}

std::optional<double> NumberLog::Reader::next() {
    const std::uint64_t code = takeVarint(*bytes_, position_);
    if (code == kNone) return std::nullopt;
    if (code == kRaw) {
        double number = 0;
        char raw[sizeof number];
        std::copy_n(bytes_->begin() + static_cast<std::ptrdiff_t>(position_), sizeof raw, raw);
        std::memcpy(&number, raw, sizeof number);
        position_ += sizeof number;
        return number;
    }
    const std::uint64_t zigzag = code - kFirstDifference;
    const auto difference = static_cast<long long>(zigzag >> 1) ^ -static_cast<long long>(zigzag & 1);
    previous_ += difference;
    return static_cast<double>(previous_);
}

}  // namespace review
