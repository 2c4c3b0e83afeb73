#pragma once
// The parts of one report cell (a record's original lines, its notes) joined by a separator:
// the first ones as they are, those beyond only counted and named at the end
// ("… und 99.992 weitere Zeilen"), so that a record of any length takes bounded memory.

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

    void clear();
    void add(std::string_view part);
    // The kept parts, followed by the count of those left out when there are any; once, after
    // the last part.
    const std::string& finish();

private:
    std::string_view separator_;
    std::size_t most_;
    std::string_view one_;
    std::string_view many_;
    std::string text_;
    std::size_t kept_ = 0;
    std::int64_t leftOut_ = 0;
};

}  // namespace review
