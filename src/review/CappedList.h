#pragma once
// The parts of one report cell (a record's original lines, its notes) joined by a separator,
// appended where the cell is put together (a std::string or a ByteBlock): the first ones as they
// are, those beyond only counted and named at the end ("… und 99.992 weitere Zeilen"), so that a
// record of any length takes bounded memory.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "review/Texts.h"

namespace review {

template <class Into>
class CappedList {
public:
    // most: the parts kept; one, many: what the parts left out are called ("weitere Zeile",
    // "weitere Zeilen"; "weiterer Hinweis", "weitere Hinweise").
    CappedList(std::string_view separator, std::size_t most, std::string_view one, std::string_view many)
        : separator_(separator), most_(most), one_(one), many_(many) {}

    // Begins a list at the end of `into`, which it is appended to until finish.
    void begin(Into& into) {
        into_ = &into;
        kept_ = 0;
        leftOut_ = 0;
    }
    void add(std::string_view part) {
        if (kept_ == most_) {
            ++leftOut_;
            return;
        }
        if (kept_++ > 0) into_->append(separator_);
        into_->append(part);
    }
    // Appends the count of the parts left out, when there are any; once, after the last part.
    void finish() {
        if (leftOut_ == 0) return;
        into_->append(separator_);
        into_->append(texts::leftOut(leftOut_, one_, many_));
    }

private:
    std::string_view separator_;
    std::size_t most_;
    std::string_view one_;
    std::string_view many_;
    Into* into_ = nullptr;
    std::size_t kept_ = 0;
    std::int64_t leftOut_ = 0;
};

}  // namespace review
