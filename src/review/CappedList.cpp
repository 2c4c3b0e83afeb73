#include "review/CappedList.h"

#include "review/Texts.h"

namespace review {

void CappedList::clear() {
    text_.clear();
    kept_ = 0;
    leftOut_ = 0;
}

void CappedList::add(std::string_view part) {
    if (kept_ == most_) {
        ++leftOut_;
        return;
    }
    if (kept_++ > 0) text_ += separator_;
    text_ += part;
}

const std::string& CappedList::finish() {
    if (leftOut_ > 0) {
        text_ += separator_;
        text_ += texts::leftOut(leftOut_, one_, many_);
    }
    return text_;
}

}  // namespace review
