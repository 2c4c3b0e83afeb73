#include "review/RecordCounts.h"

#include "text/NumberText.h"

namespace review {

std::string countsLine(const RecordCounts& c, std::string_view separator) {
    const std::string saved = c.unknown == 0
                                  ? text::groupDigits(c.saved, separator) + " gespeichert"
                                  : "gespeichert unbekannt (" + text::groupDigits(c.saved, separator) + " bestätigt, " +
                                        text::groupDigits(c.unknown, separator) + " ungeprüft: siehe AdressenImport)";
    return text::groupDigits(c.read, separator) + " Datensätze gelesen: " + saved + ", " +
           text::groupDigits(c.discarded, separator) + " verworfen; " + text::groupDigits(c.notes, separator) +
           " Hinweise; " + text::groupDigits(c.filesUnreadable, separator) +
           " Adressdateien fehlen oder sind unlesbar.";
}

}  // namespace review
