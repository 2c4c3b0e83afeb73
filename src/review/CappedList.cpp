#include "review/CappedList.h"

#include "text/NumberText.h"

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
        // The report is German whatever the machine's locale: its counts group digits by ".".
        text_ += separator_;
        text_ += "… und " + text::groupDigits(leftOut_, ".") + " ";
        text_ += leftOut_ == 1 ? one_ : many_;
    }
    return text_;
}

}  // namespace review
