#include "review/TableSink.h"

#include <algorithm>

#include "text/Unicode.h"

namespace review {

namespace {

bool malformed(const Cell& cell) { return cell.text && !cell.utf8 && !text::isUtf8(*cell.text); }

}  // namespace

void TableSink::repairAndWrite(const Cell* cells, std::size_t count) {
    // Nearly every row is UTF-8 throughout and goes on as it came.
    if (std::none_of(cells, cells + count, malformed)) return write(cells, count);
    repairedCells_.assign(cells, cells + count);
    repairedTexts_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!malformed(cells[i])) continue;
        repairedTexts_[i] = text::replacingMalformedUtf8(*cells[i].text);
        repairedCells_[i].text = repairedTexts_[i];
    }
    write(repairedCells_.data(), count);
}

}  // namespace review
