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
           (c.likelyDuplicates
                ? text::counted(*c.likelyDuplicates, separator, "mögliche Dublette", "mögliche Dubletten") +
                      (c.tableNotCompared ? " (ohne Abgleich mit Adressen)" : "") +
                      (c.duplicatesNotAllFound ? " (Suche unvollständig)" : "") + "; "
                : std::string()) +
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

namespace {

std::string quoted(std::string_view value) { return "„" + std::string(value) + "“"; }

std::string germanDate(const db::Date& date) {
    const auto twoDigits = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    return twoDigits(date.day) + "." + twoDigits(date.month) + "." + std::to_string(date.year);
}

std::string postalCodeOf(bool postfach) { return postfach ? "Postleitzahl des Postfachs " : "Postleitzahl "; }

}  // namespace

std::string oldPostalCode(std::string_view code, bool postfach) {
    return postalCodeOf(postfach) + quoted(code) +
           " hat vier Ziffern: eine alte, nicht umgestellte Postleitzahl (oder eine ausländische ohne "
           "Länderkennzeichen)";
}

std::string postalCodeNotFiveDigits(std::string_view code, bool postfach) {
    return postalCodeOf(postfach) + quoted(code) + " hat nicht fünf Ziffern";
}

std::string notAnEmail(std::string_view address) {
    return "E-Mail-Adresse " + quoted(address) + " hat nicht die Form name@domain";
}

std::string phoneWithLetters(std::string_view which, std::string_view number) {
    return std::string(which) + " " + quoted(number) + " enthält Buchstaben";
}

std::string birthDateInFuture(const db::Date& date) {
    return "Geburtsdatum " + germanDate(date) + " liegt in der Zukunft";
}

std::string birthDateTooOld(const db::Date& date) {
    return "Geburtsdatum " + germanDate(date) + " liegt mehr als 120 Jahre zurück";
}

std::string notABankCode(std::string_view code) { return "Bankleitzahl " + quoted(code) + " hat nicht acht Ziffern"; }

std::string notAnAccount(std::string_view account) {
    return "Kontonummer " + quoted(account) + " ist weder eine Kontonummer (bis zu zehn Ziffern) noch eine IBAN";
}

std::string notAnIban(std::string_view iban) { return "IBAN " + quoted(iban) + " ist ungültig (Prüfziffern)"; }

std::string recordNamed(std::string_view file, std::string_view line, std::string_view number) {
    std::string named = "Datei " + std::string(file) + ", Zeile " + std::string(line);
    if (!number.empty()) named += ", Adressnummer " + std::string(number);
    return named;
}

std::string addressNamed(std::int64_t id) { return "Adresse " + std::to_string(id) + " in Adressen"; }

std::string likelyDuplicate(std::string_view other, bool sameAddress, bool samePhone) {
    const std::string same = sameAddress && samePhone ? "gleicher Name, gleiche Anschrift und Telefonnummer"
                             : sameAddress            ? "gleicher Name und gleiche Anschrift"
                                                      : "gleicher Name und gleiche Telefonnummer";
    return "mögliche Dublette von " + std::string(other) + " (" + same + ")";
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
