#pragma once
// What a row set that writes behind tells the one who saves its rows: which row each update()
// handed on, and later what became of it. Told on the saver's own thread, in the order the rows
// were saved, so that the saver needs no lock of its own.

#include <cstdint>
#include <exception>

namespace db {

class RowOutcomes {
public:
    virtual ~RowOutcomes() = default;
    // update() handed new row n (counted from 1) on, to be written later.
    virtual void rowSaved(std::uint64_t n) = 0;
    // Row n is written: failure is null, or why it was not.
    virtual void rowWritten(std::uint64_t n, std::exception_ptr failure) = 0;
};

}  // namespace db
