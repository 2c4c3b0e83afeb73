#pragma once
// Bytes put together at their end, many small pieces in a row (a record's original lines, one
// after the other): a piece is copied into room made ahead, without the zeroing and the checks a
// std::string makes for each append. Room grows by doubling and is kept when the bytes are
// cleared, so that a block filled again and again is allocated once.

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace review {

class ByteBlock {
public:
    const char* data() const { return bytes_.get(); }
    char* data() { return bytes_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {bytes_.get(), size_}; }
    void clear() { size_ = 0; }

    // Makes the block `size` bytes long; bytes it gains are left as they were, to be written over.
    void resize(std::size_t size) {
        if (size > capacity_) reserve(size);
        size_ = size;
    }
    void append(std::string_view piece) {
        if (piece.size() > capacity_ - size_) reserve(size_ + piece.size());
        if (!piece.empty()) std::memcpy(bytes_.get() + size_, piece.data(), piece.size());
        size_ += piece.size();
    }

private:
    void reserve(std::size_t least) {
        std::size_t capacity = capacity_ ? capacity_ : 256;
        while (capacity < least) capacity *= 2;
        auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace review
