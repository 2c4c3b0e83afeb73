#include "review/Texts.h"

#include "text/Counted.h"
#include "text/NumberText.h"

namespace review::texts {

// The report is German whatever the machine's locale: its own counts group digits by ".".
constexpr std::string_view kReportSeparator = ".";

std::string countsLine(const RecordCounts& c, std::string_view separator) {
    const std::string saved = c.unknown == 0
                                  ? text::groupDigits(c.saved, separator) + " gespeichert"
                                  : "gespeichert unbekannt (" + text::groupDigits(c.saved, separator) + " bestätigt, " +
                                        text::groupDigits(c.unknown, separator) + " ungeprüft: siehe AdressenImport)";
    return text::counted(c.read, separator, "Datensatz", "Datensätze") + " gelesen: " + saved + ", " +
           text::groupDigits(c.discarded, separator) + " verworfen; " +
           text::counted(c.notes, separator, "Hinweis", "Hinweise") + "; " +
           text::counted(c.filesUnreadable, separator, "Adressdatei fehlt oder ist unlesbar.",
                         "Adressdateien fehlen oder sind unlesbar.");
}

const std::vector<std::string>& reportColumns() {
    static const std::vector<std::string> columns{"Datei", "Zeile",    "Adressnummer", "Ergebnis",
                                                  "ID",    "Hinweise", "Original"};
    return columns;
}

std::string lineCut(std::uint64_t line, std::size_t kept, std::uint64_t characters) {
    return "Zeile " + std::to_string(line) + " nach " + std::to_string(kept) + " von " + std::to_string(characters) +
           " Zeichen abgeschnitten";
}

std::string notLookedUp(std::string_view why) {
    return "ob in AdressenImport gespeichert, ließ sich nicht nachsehen: " + std::string(why);
}

std::string notPaired(std::string_view why, std::int64_t saved, std::int64_t unpaired) {
    return "ID unbekannt: die Tabellenzeilen in AdressenImport ließen sich den Datensätzen nicht zuordnen (" +
           std::string(why) + "); " + std::to_string(saved) + " von " + std::to_string(unpaired) +
           " dieser Datensätze sind dort gespeichert";
}

std::string leftOut(std::int64_t count, std::string_view one, std::string_view many) {
    return "… und " + text::counted(count, kReportSeparator, one, many);
}

std::string reportCutShort(bool writeFailed, std::int64_t reported, std::int64_t recordsRead) {
    return std::string("Die Arbeitsdatei des Berichts ließ sich nicht vollständig ") +
           (writeFailed ? "schreiben" : "lesen") + "; der Bericht endet nach " + std::to_string(reported) + " von " +
           text::counted(recordsRead, "", "Datensatz", "Datensätzen") + ".";
}

std::string workbookNotBegun(std::string_view path) {
    return "Die Arbeitsmappe " + std::string(path) + " lässt sich nicht anlegen.";
}

std::string workbookNotWritten(std::string_view path, std::string_view what, std::string_view reason) {
    return "Die Arbeitsmappe " + std::string(path) + " ließ sich nicht schreiben (" + std::string(what) + ": " +
           std::string(reason) + ").";
}

std::string textCut(std::uint64_t row, std::string_view column, std::size_t kept, std::size_t characters) {
    return "Zeile " + std::to_string(row) + ", Spalte " + std::string(column) + ": Text auf " + std::to_string(kept) +
           " von " + std::to_string(characters) + " Zeichen gekürzt (mehr fasst eine Zelle nicht).";
}

}  // namespace review::texts
