#include "review/CappedList.h"

#include "review/Texts.h"

namespace review {

void CappedList::begin(std::string& into) {
    into_ = &into;
    kept_ = 0;
    leftOut_ = 0;
}

void CappedList::add(std::string_view part) {
    if (kept_ == most_) {
        ++leftOut_;
        return;
    }
    if (kept_++ > 0) into_->append(separator_);
    into_->append(part);
}

void CappedList::finish() {
    if (leftOut_ == 0) return;
    into_->append(separator_);
    into_->append(texts::leftOut(leftOut_, one_, many_));
}

}  // namespace review
