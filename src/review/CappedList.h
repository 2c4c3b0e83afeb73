#pragma once
// The parts of one report cell (a record's original lines, its notes) joined by a separator,
// appended where the cell is put together: the first ones as they are, those beyond only counted
// and named at the end ("… und 99.992 weitere Zeilen"), so that a record of any length takes
// bounded memory.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace review {

class CappedList {
public:
    // most: the parts kept; one, many: what the parts left out are called ("weitere Zeile",
    // "weitere Zeilen"; "weiterer Hinweis", "weitere Hinweise").
    CappedList(std::string_view separator, std::size_t most, std::string_view one, std::string_view many)
        : separator_(separator), most_(most), one_(one), many_(many) {}

    // Begins a list at the end of `into`, which it is appended to until finish.
    void begin(std::string& into);
    void add(std::string_view part);
    // Appends the count of the parts left out, when there are any; once, after the last part.
    void finish();

private:
    std::string_view separator_;
    std::size_t most_;
    std::string_view one_;
    std::string_view many_;
    std::string* into_ = nullptr;
    std::size_t kept_ = 0;
    std::int64_t leftOut_ = 0;
};

}  // namespace review
