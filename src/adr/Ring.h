#pragma once
// A queue in a ring of slots that grows by doubling and never shrinks: a slot keeps the buffers
// of what it held before, so that a queue used again and again allocates nothing.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace adr {

template <class T>
class Ring {
public:
    std::size_t size() const { return count_; }
    // A slot behind the last one, holding what it held before.
    T& pushBack() {
        if (count_ == slots_.size()) grow();
        T& slot = slots_[(front_ + count_) & (slots_.size() - 1)];
        ++count_;
        return slot;
    }
    T& front() { return slots_[front_]; }
    T& back() { return slots_[(front_ + count_ - 1) & (slots_.size() - 1)]; }
    // The slot at the front is free again; what it holds stays until it is taken anew.
    void popFront() {
        front_ = (front_ + 1) & (slots_.size() - 1);
        --count_;
    }

private:
    void grow() {
        std::rotate(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(front_), slots_.end());
        front_ = 0;
        slots_.resize(std::max<std::size_t>(64, 2 * slots_.size()));  // a power of two: slots wrap by a mask
    }

    std::vector<T> slots_;
    std::size_t front_ = 0;
    std::size_t count_ = 0;
};

}  // namespace adr
